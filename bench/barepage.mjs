// Writes a bare three.js page of the network a linkmap page holds, to measure the page against: the same sites
// and links, canvas and trackball, drawn as three.js draws anything, with none of the page's own work (no
// labels, corner, controls, picking or light picture). Every site is a sphere of 16 x 12 facets and every link
// a cylinder of 8, each kind merged into one mesh of its vertex colours, lit by a head light; it notes its
// frames as the page does, for bench/webframe.mjs.
//
//   node bench/barepage.mjs PAGE.html BARE.html
import fs from 'node:fs';

const [source, target] = process.argv.slice(2);
const page = fs.readFileSync(source, 'utf8');
const data = page.match(/<script id="linkmap-data" type="application\/json">([\s\S]*?)<\/script>/)[1];
const three = '/usr/share/javascript/three';
const scripts = ['three.min.js', 'examples/js/controls/TrackballControls.js', 'examples/js/utils/BufferGeometryUtils.js']
    .map((file) => '<script>\n' + fs.readFileSync(three + '/' + file, 'utf8') + '\n</script>\n').join('');

function bare() {
    const data = JSON.parse(document.getElementById('data').textContent);
    const floats = (text) => new Float32Array(Uint8Array.from(atob(text), (c) => c.charCodeAt(0)).buffer);
    const positions = floats(data.positions);
    const ends = new Uint32Array(Uint8Array.from(atob(data.ends), (c) => c.charCodeAt(0)).buffer);
    const weights = floats(data.weights);
    const gl = document.createElement('canvas').getContext('webgl');
    const info = gl && gl.getExtension('WEBGL_debug_renderer_info');
    const software = info !== null && /SwiftShader|llvmpipe|softpipe|Software/i.test(gl.getParameter(info.UNMASKED_RENDERER_WEBGL));
    const renderer = new THREE.WebGLRenderer({antialias: !software, preserveDrawingBuffer: true});
    renderer.setPixelRatio(window.devicePixelRatio || 1);
    renderer.setSize(window.innerWidth, window.innerHeight);
    renderer.setClearColor(new THREE.Color(...data.background), 1);
    const stage = document.createElement('div');
    stage.id = 'scene';
    document.body.appendChild(stage).appendChild(renderer.domElement);
    const camera = new THREE.PerspectiveCamera(data.camera.fov, window.innerWidth / window.innerHeight, 1, 10000);
    camera.position.set(...data.camera.eye);
    camera.up.set(...data.camera.up);
    camera.add(new THREE.PointLight(0xcccccc));
    const scene = new THREE.Scene();
    scene.add(camera, new THREE.AmbientLight(0x1a1a1a));
    const colored = (geometry, color) => {
        const count = geometry.getAttribute('position').count;
        const colors = new Float32Array(3 * count);
        for (let i = 0; i < count; ++i)
            colors.set(color, 3 * i);
        geometry.setAttribute('color', new THREE.BufferAttribute(colors, 3));
        return geometry;
    };
    const sphere = new THREE.SphereBufferGeometry(data.glyphs.siteRadius, 16, 12);
    const spheres = [];
    for (let site = 0; site < data.sites; ++site)
        spheres.push(colored(sphere.clone().translate(positions[3 * site], positions[3 * site + 1], positions[3 * site + 2]), [0.6, 0.6, 0.6]));
    const cylinder = new THREE.CylinderBufferGeometry(data.glyphs.linkRadius, data.glyphs.linkRadius, 1, 8, 1, true);
    const links = [];
    const a = new THREE.Vector3();
    const b = new THREE.Vector3();
    const y = new THREE.Vector3(0, 1, 0);
    for (let link = 0; link < data.links; ++link) {
        a.fromArray(positions, 3 * ends[2 * link]);
        b.fromArray(positions, 3 * ends[2 * link + 1]);
        const length = a.distanceTo(b);
        const strength = Math.min(Math.abs(weights[link]), 1);
        const turn = new THREE.Quaternion().setFromUnitVectors(y, b.clone().sub(a).normalize());
        const shape = new THREE.Matrix4().compose(a.clone().add(b).multiplyScalar(0.5), turn, new THREE.Vector3(1, Math.max(length, 1e-6), 1));
        links.push(colored(cylinder.clone().applyMatrix(shape), weights[link] < 0 ? [1, 1 - strength, 0] : [1 - strength, 1, 0]));
    }
    const material = new THREE.MeshLambertMaterial({vertexColors: THREE.VertexColors});
    for (const parts of [spheres, links])
        if (parts.length > 0)
            scene.add(new THREE.Mesh(THREE.BufferGeometryUtils.mergeBufferGeometries(parts), material));
    const controls = new THREE.TrackballControls(camera, renderer.domElement);
    controls.target.set(...data.camera.center);
    controls.staticMoving = true;
    controls.rotateSpeed = 2.0;
    const drawn = [];
    let wanted = true;
    controls.addEventListener('change', () => { wanted = true; });
    function frame() {
        controls.update();
        if (wanted) {
            wanted = false;
            renderer.render(scene, camera);
            drawn.push(performance.now());
            document.body.dataset.frames = String(drawn.length);
        }
        requestAnimationFrame(frame);
    }
    document.body.dataset.complete = 'true';
    window.linkmap = {drawn};
    requestAnimationFrame(frame);
}

fs.writeFileSync(target, '<!DOCTYPE html>\n<html><head><meta charset="utf-8"><style>html, body { margin: 0; overflow: hidden; }</style></head><body>\n' +
    '<script id="data" type="application/json">' + data + '</script>\n' + scripts + '<script>(' + bare.toString() + ')();</script>\n</body></html>\n');
