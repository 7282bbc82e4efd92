// What the eye sees, read from a picture of numbers: every site's sphere and every link shown, each drawn flat
// in the colour of its number (glyphs.js), nearer glyphs over farther ones. Drawn whole when the view comes to
// rest, it gives labels only to sites that are not hidden; drawn over the few pixels round a point, it is what
// a click picks. A network whose full picture is drawn in slices, as it takes longer than a frame, has only its
// spheres in the whole picture: its links would cost the rest another full picture.
function linkmapSight(data, records, glyphs, stage, withLinks) {
    'use strict';
    const {renderer, scene, camera, canvas} = stage;
    const {siteCount} = records;
    const targetOptions = {minFilter: THREE.NearestFilter, magFilter: THREE.NearestFilter};
    const sphereNumbers = glyphs.sphereLook({NUMBERS: 1});
    const linkNumbers = glyphs.linkLook({NUMBERS: 1});
    const black = new THREE.Color(0, 0, 0);

    // Draws the picture of numbers into target, of width by height pixels, and reads it into pixels. A part
    // {x, y} of the canvas, in its pixels from the top left, draws only the part that starts there.
    function draw(target, width, height, pixels, links, part) {
        target.setSize(width, height);
        const shown = scene.children.filter((child) => child.visible);
        shown.forEach((child) => { child.visible = child === glyphs.spheres || (links && child === glyphs.cylinders); });
        const looks = [glyphs.spheres.material, glyphs.cylinders.material];
        const drawRanges = [glyphs.sphereGeometry.drawRange.count, glyphs.linkGeometry.drawRange.count];
        glyphs.spheres.material = sphereNumbers;
        glyphs.cylinders.material = linkNumbers;
        glyphs.sphereGeometry.setDrawRange(0, Infinity);
        glyphs.linkGeometry.setDrawRange(0, Infinity);
        if (part)
            camera.setViewOffset(canvas.clientWidth, canvas.clientHeight, part.x, part.y, width, height);
        const clearColor = renderer.getClearColor().clone();
        renderer.setClearColor(black, 1);
        renderer.setRenderTarget(target);
        renderer.clear();
        renderer.render(scene, camera);
        renderer.readRenderTargetPixels(target, 0, 0, width, height, pixels);
        renderer.setRenderTarget(null);
        renderer.setClearColor(clearColor, 1);
        if (part)
            camera.clearViewOffset();
        [glyphs.spheres.material, glyphs.cylinders.material] = looks;
        glyphs.sphereGeometry.setDrawRange(0, drawRanges[0]);
        glyphs.linkGeometry.setDrawRange(0, drawRanges[1]);
        shown.forEach((child) => { child.visible = true; });
    }
    // The number a pixel of pixels holds, its row counted from the bottom as the picture is read.
    const numberAt = (pixels, at) => pixels[4 * at] + 256 * pixels[4 * at + 1] + 65536 * pixels[4 * at + 2];

    // The whole picture, at most this many pixels wide: a pixel for every few of a large canvas.
    const whole = new THREE.WebGLRenderTarget(1, 1, targetOptions);
    const widest = 1024;
    let pixels = new Uint8Array(4);
    let width = 0;
    let height = 0;
    let scale = 1;
    // Draws the whole picture for the view of now.
    function look() {
        scale = Math.min(1, widest / Math.max(canvas.clientWidth, 1));
        width = Math.max(1, Math.round(canvas.clientWidth * scale));
        height = Math.max(1, Math.round(canvas.clientHeight * scale));
        if (pixels.length !== 4 * width * height)
            pixels = new Uint8Array(4 * width * height);
        draw(whole, width, height, pixels, withLinks, null);
    }
    // Whether any of five points of a site's disc, drawn at (x, y) of the canvas with radius pixels, shows the
    // site in the whole picture: its centre, and half its radius up, down, left and right.
    function sees(site, x, y, radius) {
        const reach = radius / 2;
        for (const [dx, dy] of [[0, 0], [reach, 0], [-reach, 0], [0, reach], [0, -reach]]) {
            const column = Math.floor((x + dx) * scale);
            const row = height - 1 - Math.floor((y + dy) * scale);
            if (column >= 0 && row >= 0 && column < width && row < height && numberAt(pixels, row * width + column) === site + 1)
                return true;
        }
        return false;
    }

    // What a click at (x, y) picks, as the window picks: the glyph drawn there, or else the one drawn nearest to
    // it within four pixels; {kind: ''} for nothing. Only the glyphs that may reach those pixels are drawn, the
    // quads of their own vertices: a large network's every glyph would cost the software renderer a second.
    const reach = 4;
    const side = 2 * reach + 1;
    const near = new THREE.WebGLRenderTarget(side, side, targetOptions);
    const nearPixels = new Uint8Array(4 * side * side);
    const nearScene = new THREE.Scene();
    const partOf = (geometry, look) => {
        const part = new THREE.BufferGeometry();
        for (const [name, attribute] of Object.entries(geometry.attributes))
            part.setAttribute(name, attribute);
        const mesh = new THREE.Mesh(part, look);
        mesh.frustumCulled = false;
        nearScene.add(mesh);
        return part;
    };
    const nearSpheres = partOf(glyphs.sphereGeometry, sphereNumbers);
    const nearLinks = partOf(glyphs.linkGeometry, linkNumbers);
    const placeOf = new Uint32Array(siteCount);
    glyphs.siteOrder.forEach((site, place) => { placeOf[site] = place; });
    const {linkCount, ends} = records;
    let screen = new Float32Array(0);
    // The quads of the glyphs numbered in list, four vertices from 4 × each, as an index.
    const quads = (list) => {
        const indices = new Uint32Array(6 * list.length);
        list.forEach((each, at) => {
            const v = 4 * each;
            indices.set([v, v + 1, v + 2, v + 2, v + 1, v + 3], 6 * at);
        });
        return new THREE.BufferAttribute(indices, 1);
    };
    function under(x, y) {
        // Where every site stands on the canvas, and how many pixels a unit spans there; a site behind the eye
        // has no place.
        if (screen.length !== 3 * siteCount)
            screen = new Float32Array(3 * siteCount);
        camera.updateMatrixWorld();
        const slack = reach + 1;
        const spheres = [];
        // The page's size and the camera's, read once: a read of the canvas's size asks the page's layout.
        const e = camera.matrixWorldInverse.elements;
        const middleX = canvas.clientWidth / 2;
        const middleY = canvas.clientHeight / 2;
        const f = middleY / Math.tan(THREE.Math.degToRad(camera.fov) / 2);
        const nearPlane = camera.near;
        const siteReach = 1.5 * data.glyphs.siteRadius;
        const {positions} = records;
        for (let site = 0; site < siteCount; ++site) {
            const px = positions[3 * site], py = positions[3 * site + 1], pz = positions[3 * site + 2];
            const depth = -(e[2] * px + e[6] * py + e[10] * pz + e[14]);
            const unit = depth > nearPlane ? f / depth : Infinity;
            const sx = middleX + (e[0] * px + e[4] * py + e[8] * pz + e[12]) * unit;
            const sy = middleY - (e[1] * px + e[5] * py + e[9] * pz + e[13]) * unit;
            screen[3 * site] = sx;
            screen[3 * site + 1] = sy;
            screen[3 * site + 2] = unit;
            // A sphere's quad is half as wide again as the sphere.
            const sphereReach = siteReach * records.scaleOf(site) * unit + slack;
            if (unit !== Infinity && (sx - x) * (sx - x) + (sy - y) * (sy - y) <= sphereReach * sphereReach)
                spheres.push(placeOf[site]);
        }
        // A link may reach the point where the segment between its ends passes within its widest: three times
        // its radius, times a path's thickness, at the nearer end's scale.
        const widest = 3 * data.glyphs.linkRadius;
        const look = glyphs.linkGeometry.attributes.look.array;
        const links = [];
        // Plain arithmetic on squares, no call a link: this runs over every link of a large network.
        for (let link = 0; link < linkCount; ++link) {
            const a = 3 * ends[2 * link];
            const b = 3 * ends[2 * link + 1];
            const unitA = screen[a + 2];
            const unitB = screen[b + 2];
            if (unitA === Infinity || unitB === Infinity) {
                links.push(link);
                continue;
            }
            const ax = screen[a], ay = screen[a + 1], dx = screen[b] - ax, dy = screen[b + 1] - ay;
            const length2 = dx * dx + dy * dy;
            let along = length2 > 0 ? ((x - ax) * dx + (y - ay) * dy) / length2 : 0;
            along = along < 0 ? 0 : along > 1 ? 1 : along;
            const ex = ax + along * dx - x, ey = ay + along * dy - y;
            const thickness = look[16 * link + 2];
            const reachOf = widest * (thickness < 0 ? -thickness : thickness) * (unitA > unitB ? unitA : unitB) + slack;
            if (ex * ex + ey * ey <= reachOf * reachOf)
                links.push(link);
        }
        nearSpheres.setIndex(quads(spheres));
        nearLinks.setIndex(quads(links));
        drawNear(x, y);
        let found = 0;
        let nearest = Infinity;
        for (let row = 0; row < side; ++row)
            for (let column = 0; column < side; ++column) {
                const number = numberAt(nearPixels, row * side + column);
                const distance = Math.hypot(column - reach, row - reach);
                if (number > 0 && distance <= reach && distance < nearest) {
                    nearest = distance;
                    found = number;
                }
            }
        if (found === 0)
            return {kind: '', index: 0};
        return found <= siteCount ? {kind: 'site', index: found - 1} : {kind: 'link', index: found - 1 - siteCount};
    }
    // Draws the near glyphs' numbers over the pixels round (x, y) and reads them.
    function drawNear(x, y) {
        camera.setViewOffset(canvas.clientWidth, canvas.clientHeight, Math.round(x) - reach, Math.round(y) - reach, side, side);
        const clearColor = renderer.getClearColor().clone();
        renderer.setClearColor(black, 1);
        renderer.setRenderTarget(near);
        renderer.clear();
        renderer.render(nearScene, camera);
        renderer.readRenderTargetPixels(near, 0, 0, side, side, nearPixels);
        renderer.setRenderTarget(null);
        renderer.setClearColor(clearColor, 1);
        camera.clearViewOffset();
    }
    return {look, sees, under};
}
