// What the eye sees, read from a picture of numbers: every site's sphere and every link shown, each drawn flat
// in the colour of its number (glyphs.js), nearer glyphs over farther ones. Drawn whole when the view comes to
// rest, it gives labels only to sites that are not hidden; drawn over the few pixels round a point, it is what
// a click picks. A network whose full picture is drawn in slices, as it takes longer than a frame, has only its
// spheres in the whole picture: its links would cost the rest another full picture.
function linkmapSight(records, glyphs, stage, withLinks) {
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
    // it within four pixels; {kind: ''} for nothing.
    const reach = 4;
    const side = 2 * reach + 1;
    const near = new THREE.WebGLRenderTarget(side, side, targetOptions);
    const nearPixels = new Uint8Array(4 * side * side);
    function under(x, y) {
        draw(near, side, side, nearPixels, true, {x: Math.round(x) - reach, y: Math.round(y) - reach});
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
    return {look, sees, under};
}
