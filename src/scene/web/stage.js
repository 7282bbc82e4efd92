// The stage: the renderer on its canvas, the camera at the first view, the trackball that turns it as the
// window's turns, and the scene's bound, which sets the near and far planes wherever the camera goes.
function linkmapStage(data, records, container) {
    'use strict';
    // Smoothed edges, but from a software renderer, where they cost more than the drawing itself, as the
    // window under a software renderer has none.
    function inSoftware() {
        const gl = document.createElement('canvas').getContext('webgl');
        const info = gl && gl.getExtension('WEBGL_debug_renderer_info');
        return info !== null && /SwiftShader|llvmpipe|softpipe|Software/i.test(gl.getParameter(info.UNMASKED_RENDERER_WEBGL));
    }
    const renderer = new THREE.WebGLRenderer({antialias: !inSoftware(), preserveDrawingBuffer: true});
    renderer.setPixelRatio(window.devicePixelRatio || 1);
    renderer.setClearColor(new THREE.Color(...data.background), 1);
    renderer.autoClear = false;
    container.appendChild(renderer.domElement);
    const canvas = renderer.domElement;

    const scene = new THREE.Scene();
    const camera = new THREE.PerspectiveCamera(data.camera.fov, 1, 1, 2);
    camera.position.set(...data.camera.eye);
    // A page narrower than the frame the first view was framed for steps back until what that frame held
    // across fits across the page, as it fits up and down.
    {
        const aspect = container.clientWidth / Math.max(container.clientHeight, 1);
        if (aspect > 0 && aspect < data.camera.aspect) {
            const centre = new THREE.Vector3(...data.camera.center);
            camera.position.sub(centre).multiplyScalar(data.camera.aspect / aspect).add(centre);
        }
    }
    camera.up.set(...data.camera.up);
    camera.lookAt(new THREE.Vector3(...data.camera.center));

    const bound = new THREE.Sphere();
    {
        const points = [];
        for (let site = 0; site < records.siteCount; ++site)
            points.push(records.sitePoint(site, new THREE.Vector3()));
        for (let i = 0; i + 2 < records.trace.length; i += 3)
            points.push(new THREE.Vector3().fromArray(records.trace, i));
        bound.setFromPoints(points);
        const largest = records.siteScales ? records.siteScales.reduce((most, scale) => Math.max(most, scale), 1) : 1;
        bound.radius += data.glyphs.siteRadius * (2 * largest - 1) + data.glyphs.labelHeight + data.glyphs.labelDrop;
    }

    const controls = new THREE.TrackballControls(camera, canvas);
    controls.target.set(...data.camera.center);
    controls.target0.copy(controls.target);
    controls.staticMoving = true;
    // Zooming out stops where the window's does, or at the first view on a narrow page.
    if (data.camera.farthest > 0)
        controls.maxDistance = Math.max(data.camera.farthest, camera.position.distanceTo(controls.target));
    controls.rotateSpeed = 2.0;
    controls.keys = [];
    controls.update();
    // The middle button pans, as the right does.
    canvas.addEventListener('mousedown', (event) => {
        if (event.button !== 1)
            return;
        event.stopImmediatePropagation();
        event.preventDefault();
        canvas.dispatchEvent(new MouseEvent('mousedown', {
            bubbles: true, cancelable: true, clientX: event.clientX, clientY: event.clientY,
            screenX: event.screenX, screenY: event.screenY, button: 2, buttons: event.buttons,
        }));
    }, true);
    canvas.addEventListener('contextmenu', (event) => event.preventDefault());

    // The near and far planes round the bound, from wherever the camera is; the camera's matrices follow.
    function fitPlanes() {
        const distance = camera.position.distanceTo(bound.center);
        camera.far = distance + 2 * bound.radius;
        camera.near = Math.max(distance - 2 * bound.radius, camera.far * 1e-4);
        camera.updateProjectionMatrix();
        camera.updateMatrixWorld();
    }
    // How many pixels a unit spans at depth along the line of sight.
    const pixelsPerUnit = (depth) => canvas.clientHeight / 2 / Math.tan(THREE.Math.degToRad(camera.fov) / 2) / depth;
    // Where a point of the scene stands on the canvas, in its pixels from the top left, and how deep.
    const eyePoint = new THREE.Vector3();
    const projected = new THREE.Vector3();
    function onCanvas(point, place) {
        eyePoint.copy(point).applyMatrix4(camera.matrixWorldInverse);
        projected.copy(point).project(camera);
        place.x = (projected.x + 1) / 2 * canvas.clientWidth;
        place.y = (1 - projected.y) / 2 * canvas.clientHeight;
        place.depth = -eyePoint.z;
        return place;
    }
    // Turns the view round point, at the same distance.
    function centreOn(point) {
        camera.position.add(point.clone().sub(controls.target));
        controls.target.copy(point);
    }
    // Leaves the boxes of the page's right (the controls, the help; each {left, top, bottom} in the canvas's
    // pixels) free of spheres in the first view, as the program's framing leaves the key's band free: where a
    // sphere stands in one, the view steps back, which draws every sphere in towards the middle, to the least
    // distance that frees them all, found to a hundredth of the first. A view the settings place is kept as
    // given. Space comes back to this view.
    function leaveFree(boxes) {
        if (!data.camera.framed || boxes.length === 0)
            return;
        // Each sphere across, up and towards the eye from the point turned round, and its radius, once: at
        // distance d along the line of sight it stands at depth d - towards, f / depth pixels a unit.
        camera.updateMatrixWorld();
        const right = new THREE.Vector3().setFromMatrixColumn(camera.matrixWorld, 0).normalize();
        const up = new THREE.Vector3().setFromMatrixColumn(camera.matrixWorld, 1).normalize();
        const away = camera.position.clone().sub(controls.target).normalize();
        const spheres = new Float64Array(4 * records.siteCount);
        const point = new THREE.Vector3();
        for (let site = 0; site < records.siteCount; ++site) {
            records.sitePoint(site, point).sub(controls.target);
            spheres.set([point.dot(right), point.dot(up), point.dot(away), data.glyphs.siteRadius * records.scaleOf(site)], 4 * site);
        }
        const width = canvas.clientWidth;
        const height = canvas.clientHeight;
        const f = height / 2 / Math.tan(THREE.Math.degToRad(camera.fov) / 2);
        // Whether a sphere stands in a box with the eye at distance.
        function covered(distance) {
            for (let at = 0; at < spheres.length; at += 4) {
                const depth = distance - spheres[at + 2];
                if (!(depth > 0))
                    continue;
                const scale = f / depth;
                const x = width / 2 + spheres[at] * scale;
                const y = height / 2 - spheres[at + 1] * scale;
                const reach = spheres[at + 3] * scale;
                for (const box of boxes)
                    if (x + reach > box.left && y + reach > box.top && y - reach < box.bottom)
                        return true;
            }
            return false;
        }
        // Farther back, every sphere stands nearer the middle and none comes into a box: the least distance
        // is bisected between one that is covered and one that is not (or three times the first, at most).
        const first = camera.position.distanceTo(controls.target);
        let near = first;
        let far = first;
        if (covered(first)) {
            far = 3 * first;
            while (far - near > first / 100) {
                const middle = (near + far) / 2;
                if (covered(middle))
                    near = middle;
                else
                    far = middle;
            }
        }
        camera.position.copy(controls.target).addScaledVector(away, far);
        camera.updateMatrixWorld();
        controls.position0.copy(camera.position);
        controls.maxDistance = Math.max(controls.maxDistance, far);
        controls.update();
    }
    return {renderer, canvas, scene, camera, controls, container, fitPlanes, pixelsPerUnit, onCanvas, centreOn, leaveFree};
}
