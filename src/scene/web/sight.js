// What the eye sees: a picture, drawn offscreen when the view comes to rest, of every site's sphere in the
// colour of its number and every link shown in black before them, so that a label is given only to a site
// that is not hidden behind nearer glyphs. A network whose full picture is drawn in slices, as it takes
// longer than a frame, has only its spheres drawn here: its links would cost the rest another full picture.
function linkmapSight(glyphs, stage, withLinks) {
    'use strict';
    const {renderer, scene, camera, canvas} = stage;
    const target = new THREE.WebGLRenderTarget(1, 1, {minFilter: THREE.NearestFilter, magFilter: THREE.NearestFilter});
    const sphereNumbers = glyphs.sphereLook({SITE_NUMBERS: 1});
    const linkNumbers = glyphs.linkLook({SITE_NUMBERS: 1});
    const black = new THREE.Color(0, 0, 0);
    let pixels = new Uint8Array(4);
    let width = 0;
    let height = 0;
    // The picture is drawn at most this many pixels wide, a pixel for every few of a large canvas.
    const widest = 1024;
    let scale = 1;

    // Draws the picture for the view of now.
    function look() {
        scale = Math.min(1, widest / Math.max(canvas.clientWidth, 1));
        width = Math.max(1, Math.round(canvas.clientWidth * scale));
        height = Math.max(1, Math.round(canvas.clientHeight * scale));
        if (pixels.length !== 4 * width * height)
            pixels = new Uint8Array(4 * width * height);
        target.setSize(width, height);
        const shown = scene.children.filter((child) => child.visible);
        shown.forEach((child) => { child.visible = child === glyphs.spheres || (withLinks && child === glyphs.cylinders); });
        const looks = [glyphs.spheres.material, glyphs.cylinders.material];
        const drawRanges = [glyphs.sphereGeometry.drawRange.count, glyphs.linkGeometry.drawRange.count];
        glyphs.spheres.material = sphereNumbers;
        glyphs.cylinders.material = linkNumbers;
        glyphs.sphereGeometry.setDrawRange(0, Infinity);
        glyphs.linkGeometry.setDrawRange(0, Infinity);
        const clearColor = renderer.getClearColor().clone();
        renderer.setClearColor(black, 1);
        renderer.setRenderTarget(target);
        renderer.clear();
        renderer.render(scene, camera);
        renderer.readRenderTargetPixels(target, 0, 0, width, height, pixels);
        renderer.setRenderTarget(null);
        renderer.setClearColor(clearColor, 1);
        [glyphs.spheres.material, glyphs.cylinders.material] = looks;
        glyphs.sphereGeometry.setDrawRange(0, drawRanges[0]);
        glyphs.linkGeometry.setDrawRange(0, drawRanges[1]);
        shown.forEach((child) => { child.visible = true; });
    }
    // Whether any of five points of a site's disc, drawn at (x, y) of the canvas with radius pixels, shows the
    // site: its centre, and half its radius up, down, left and right.
    function sees(site, x, y, radius) {
        const reach = radius / 2;
        for (const [dx, dy] of [[0, 0], [reach, 0], [-reach, 0], [0, reach], [0, -reach]]) {
            const column = Math.floor((x + dx) * scale);
            const row = height - 1 - Math.floor((y + dy) * scale);
            if (column < 0 || row < 0 || column >= width || row >= height)
                continue;
            const at = 4 * (row * width + column);
            if (pixels[at] + 256 * pixels[at + 1] + 65536 * pixels[at + 2] === site + 1)
                return true;
        }
        return false;
    }
    return {look, sees};
}
