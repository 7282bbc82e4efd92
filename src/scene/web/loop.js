// The loop: draws a frame whenever something asked for one, the light picture while a large network moves,
// and its full picture in slices of its links, a frame each, offscreen as the window draws its own, shown
// once it is whole: a drag or a key then waits for a slice, not for the whole picture, and no frame shows part
// of it; before the first full picture, the background alone. Labels are chosen when the view comes to rest,
// once it is drawn.
function linkmapLoop(records, stage, glyphs, light, labels) {
    'use strict';
    const {renderer, scene, camera, canvas, controls, container} = stage;
    const linkCount = records.linkCount;
    const sliceLinks = linkmapLoop.sliceLinks;
    let sliced = 0;
    let slicedBefore = false;
    let moving = false;
    let wanted = true;
    let labelsWanted = false;
    let shownWhole = false;
    const drawn = [];
    const fullPicture = new THREE.WebGLRenderTarget(1, 1, {minFilter: THREE.NearestFilter, magFilter: THREE.NearestFilter});
    const showing = new THREE.Scene();
    showing.add(new THREE.Mesh(new THREE.PlaneBufferGeometry(2, 2), glyphs.material('PagePicture.vert', 'PagePicture.frag',
        {uniforms: {picture: {value: fullPicture.texture}}, depthTest: false, depthWrite: false})));
    const showingCamera = new THREE.OrthographicCamera(-1, 1, 1, -1, 0, 1);

    function resize() {
        renderer.setSize(container.clientWidth, container.clientHeight, false);
        fullPicture.setSize(canvas.width, canvas.height);
        camera.aspect = container.clientWidth / container.clientHeight;
        camera.updateProjectionMatrix();
        controls.handleResize();
        want();
    }
    // Waits for a slice's drawing to be done, so that no more than one is ever queued ahead of what a drag or a
    // key asks for next.
    const oneTexel = new Uint8Array(4);
    function noteFrame() {
        if (sliced > 0 || slicedBefore) {
            const gl = renderer.getContext();
            gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, oneTexel);
        }
        slicedBefore = sliced > 0;
        labels.place();
        // When each frame was drawn, the last thousand, and whether the picture is complete, for whoever
        // measures the page.
        drawn.push(performance.now());
        if (drawn.length > 1000)
            drawn.shift();
        document.body.dataset.frames = String(Number(document.body.dataset.frames || 0) + 1);
        document.body.dataset.complete = String(!moving && sliced === 0 && !labelsWanted);
    }
    function draw() {
        stage.fitPlanes();
        const lightNow = moving && light.used;
        const slicing = !lightNow && light.used && linkCount > sliceLinks;
        // The light picture shows while the full one is drawn in slices, offscreen.
        light.show(lightNow || slicing);
        glyphs.linkGeometry.setDrawRange(0, Infinity);
        renderer.clear();
        if (!slicing || shownWhole)
            renderer.render(scene, camera);
        sliced = 0;
        if (slicing) {
            light.show(false);
            glyphs.linkGeometry.setDrawRange(0, 6 * sliceLinks);
            renderer.setRenderTarget(fullPicture);
            renderer.clear();
            renderer.render(scene, camera);
            renderer.setRenderTarget(null);
            sliced = sliceLinks;
        }
        noteFrame();
    }
    function drawSlice() {
        const others = scene.children.filter((child) => child !== glyphs.cylinders && child.visible);
        others.forEach((child) => { child.visible = false; });
        glyphs.linkGeometry.setDrawRange(6 * sliced, 6 * sliceLinks);
        renderer.setRenderTarget(fullPicture);
        renderer.render(scene, camera);
        renderer.setRenderTarget(null);
        others.forEach((child) => { child.visible = true; });
        sliced = sliced + sliceLinks < linkCount ? sliced + sliceLinks : 0;
        // Whole at last: shown at once.
        if (sliced === 0) {
            shownWhole = true;
            renderer.clear();
            renderer.render(showing, showingCamera);
        }
        noteFrame();
    }
    // A frame draws what was asked for; else, at rest, it chooses the labels for the view drawn, and places
    // them; else it draws the next slice of the full picture.
    function frame() {
        controls.update();
        if (wanted) {
            wanted = false;
            draw();
        } else if (labelsWanted && !moving) {
            labelsWanted = false;
            stage.fitPlanes();
            labels.choose();
            labels.place();
            document.body.dataset.labelsPending = 'false';
            document.body.dataset.complete = String(sliced === 0);
        } else if (sliced > 0)
            drawSlice();
        requestAnimationFrame(frame);
    }
    // Asks for a frame; the page is not complete until it is drawn.
    function want() {
        wanted = true;
        document.body.dataset.complete = 'false';
    }
    // Asks for the labels to be chosen again at the next frame at rest; the page says so until they are.
    function wantLabels() {
        labelsWanted = true;
        document.body.dataset.labelsPending = 'true';
        document.body.dataset.complete = 'false';
    }
    controls.addEventListener('change', want);
    controls.addEventListener('start', () => { moving = true; });
    controls.addEventListener('end', () => {
        moving = false;
        want();
        wantLabels();
    });
    window.addEventListener('resize', () => {
        resize();
        wantLabels();
    });

    // The full picture at scale times the page's pixels, drawn at once on the page's own canvas, copied.
    function drawAt(scale) {
        const ratio = renderer.getPixelRatio();
        renderer.setPixelRatio(ratio * scale);
        stage.fitPlanes();
        light.show(false);
        glyphs.linkGeometry.setDrawRange(0, Infinity);
        renderer.clear();
        renderer.render(scene, camera);
        const copy = document.createElement('canvas');
        copy.width = canvas.width;
        copy.height = canvas.height;
        copy.getContext('2d').drawImage(canvas, 0, 0);
        renderer.setPixelRatio(ratio);
        want();
        return copy;
    }
    resize();
    return {
        start() { requestAnimationFrame(frame); },
        want,
        wantLabels,
        isMoving: () => moving,
        drawAt, drawn,
    };
}
// The most links the full picture draws in a frame; a larger network's is drawn in slices of as many.
linkmapLoop.sliceLinks = 25000;
