// The scene file: valid glTF by Khronos' validator, holding every site and link, and read by Blender.
import assert from 'node:assert/strict';
import {execFileSync, spawnSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {test} from 'node:test';
import {example, linkmap, namesOf, write} from './support.mjs';

// The JSON of a .glb or .gltf file.
function sceneJson(file) {
    const bytes = fs.readFileSync(file);
    if (!file.endsWith('.glb'))
        return JSON.parse(bytes.toString('utf8'));
    assert.equal(bytes.toString('latin1', 0, 4), 'glTF');
    assert.equal(bytes.readUInt32LE(4), 2);
    assert.equal(bytes.readUInt32LE(8), bytes.length);
    const length = bytes.readUInt32LE(12);
    assert.equal(bytes.toString('latin1', 16, 20), 'JSON');
    return JSON.parse(bytes.toString('utf8', 20, 20 + length));
}

async function validate(file) {
    const {default: validator} = await import('gltf-validator');
    const bytes = new Uint8Array(fs.readFileSync(file));
    const report = await validator.validateBytes(bytes, {maxIssues: 50});
    assert.equal(report.issues.numErrors, 0, JSON.stringify(report.issues.messages));
    assert.equal(report.issues.numWarnings, 0, JSON.stringify(report.issues.messages));
    return report;
}

// The floats of a .glb's accessor, as many a vertex as its type holds.
function accessorFloats(file, json, index) {
    const bytes = fs.readFileSync(file);
    const binary = 20 + bytes.readUInt32LE(12) + 8;
    const accessor = json.accessors[index];
    const view = json.bufferViews[accessor.bufferView];
    const width = {SCALAR: 1, VEC2: 2, VEC3: 3, VEC4: 4}[accessor.type];
    const start = binary + (view.byteOffset || 0) + (accessor.byteOffset || 0);
    return Array.from({length: accessor.count * width}, (_, i) => bytes.readFloatLE(start + 4 * i));
}

// The sites' nodes, by name, and how many vertices each named mesh's primitives hold.
function contents(json) {
    const root = json.nodes[json.scenes[json.scene].nodes[0]];
    const child = (name) => root.children.map((index) => json.nodes[index]).find((node) => node.name === name);
    const sites = child('sites').children.map((index) => json.nodes[index]);
    const vertices = (name) => {
        const node = child(name);
        return node ? json.meshes[node.mesh].primitives.reduce((sum, p) => sum + json.accessors[p.attributes.POSITION].count, 0)
                    : 0;
    };
    return {sites, vertices, child};
}

test('the scene file holds every site by name and every link shown, as valid glTF', async () => {
    for (const [file, env, extra] of [
        ['example.glb', {}, []],
        ['example.gltf', {}, []],
        ['cutoff.glb', {LINKMAP_CUTOFF: '0.5', LINKMAP_SELECT: 'K45'}, []],
        ['region.glb', {LINKMAP_REGION: 'accelerated'}, []],
    ]) {
        const {file: out, links} = write(file, [...example, ...extra], env);
        await validate(out);
        const json = sceneJson(out);
        const {sites, vertices} = contents(json);
        assert.deepEqual(sites.map((node) => node.name).sort(), namesOf(links).sort(), file);
        // Every site stands where the layout puts it, on the sphere of its region.
        assert.ok(sites.every((node) => node.translation.length === 3 && node.mesh !== undefined), file);
        const shown = links.filter((link) => Math.abs(link.weight) >= Number(env.LINKMAP_CUTOFF || 0));
        const accelerated = ['S115', 'M210', 'V212'];
        const expected = env.LINKMAP_REGION
            ? shown.filter((link) => accelerated.includes(link.first) || accelerated.includes(link.second))
            : shown;
        assert.equal(vertices('links') + vertices('dimmed links') + vertices('paths'), 12 * expected.length, file);
        // A pick dims the other links: they keep their colours, in a mesh of their own under a see-through material.
        assert.equal(vertices('dimmed links') > 0, env.LINKMAP_SELECT !== undefined, file);
    }
});

test('the scene opens on the first view and keeps each kind of link in a mesh of its own, with its weight', async () => {
    const settings = {LINKMAP_FROM: 'H12', LINKMAP_TO: 'V212'};
    const {file, links} = write('paths.glb', example, settings);
    await validate(file);
    const json = sceneJson(file);
    const root = json.nodes[json.scenes[json.scene].nodes[0]];
    const child = (name) => root.children.map((index) => json.nodes[index]).find((node) => node.name === name);
    const meshOf = (name) => json.meshes[child(name).mesh];
    // The paths' links and the dimmed rest, each primitive listing its prisms' weights and counts of paths.
    const weights = new Set(links.map((link) => Math.fround(link.weight)));
    let corners = 0;
    for (const name of ['paths', 'dimmed links']) {
        for (const primitive of meshOf(name).primitives) {
            const count = json.accessors[primitive.attributes.POSITION].count;
            corners += count;
            const {weights: weight, paths} = primitive.extras;
            assert.equal(weight.length, count / 12);
            assert.equal(paths.length, count / 12);
            assert.ok(weight.every((w) => weights.has(Math.fround(w))), name);
            assert.equal(paths.every((n) => n >= 1), name === 'paths', name);
        }
    }
    assert.equal(corners, 12 * links.length);
    assert.equal(child('links'), undefined, 'every link is on a path or dimmed');
    const dimmed = json.materials[meshOf('dimmed links').primitives[0].material];
    assert.equal(dimmed.alphaMode, 'BLEND');
    assert.ok(dimmed.pbrMetallicRoughness.baseColorFactor[3] < 1);

    // In a figure, the sites on no path are dimmed as the links are; the paths' ends are not.
    const figure = sceneJson(write('paths-figure.glb', example, {...settings, LINKMAP_STYLE: 'figure'}).file);
    const figureRoot = figure.nodes[figure.scenes[figure.scene].nodes[0]];
    const figureSites = figureRoot.children.map((index) => figure.nodes[index]).find((node) => node.name === 'sites')
        .children.map((index) => figure.nodes[index]);
    const meshName = (name) => figure.meshes[figureSites.find((node) => node.name === name).mesh].name;
    for (const end of ['H12', 'V212'])
        assert.ok(!meshName(end).startsWith('dimmed '), end);
    const dimmedSites = figureSites.filter((node) => figure.meshes[node.mesh].name.startsWith('dimmed '));
    assert.ok(dimmedSites.length > 0 && dimmedSites.length < figureSites.length);
    for (const node of dimmedSites)
        assert.equal(figure.materials[figure.meshes[node.mesh].primitives[0].material].alphaMode, 'BLEND');

    // The camera looks at the network: every site stands within its field of view.
    const camera = child('first view');
    assert.equal(json.cameras[camera.camera].type, 'perspective');
    const [x, y, z, w] = camera.rotation;
    const forward = [-(2 * (x * z + w * y)), -(2 * (y * z - w * x)), -(1 - 2 * (x * x + y * y))];
    const half = json.cameras[camera.camera].perspective.yfov / 2;
    const sites = child('sites').children.map((index) => json.nodes[index].translation);
    for (const place of sites) {
        const to = place.map((value, i) => value - camera.translation[i]);
        const cosine = to.reduce((sum, value, i) => sum + value * forward[i], 0) / Math.hypot(...to);
        assert.ok(Math.acos(cosine) < half * 1.5, 'a site outside the view: ' + Math.acos(cosine) + ' > ' + half);
    }
});

test('links are six-sided and shaded round while the scene stays within its budget, square beyond it', async () => {
    const groups = path.join(path.dirname(write('probe.glb', example).file), 'budget');
    for (const [count, sides] of [[210, 6], [220, 4]]) {
        // 20 sites a group, each its own: 190 links a group, 39,900 and 41,800 in all.
        const lines = Array.from({length: count}, (_, group) => [
            ...Array.from({length: 20}, (_, k) => 'A' + (group * 20 + k + 1)),
            ...Array.from({length: 190}, (_, k) => (((group + k) % 37) / 18 - 1).toFixed(3))].join(' '));
        fs.writeFileSync(groups + count + '.txt', lines.join('\n') + '\n');
        const {file} = write('budget' + count + '.glb', [groups + count + '.txt']);
        const json = sceneJson(file);
        const primitives = json.meshes[contents(json).child('links').mesh].primitives;
        const corners = primitives.reduce((sum, p) => sum + json.accessors[p.attributes.POSITION].count, 0);
        assert.equal(corners, 2 * sides * count * 190, count + ' groups');
        assert.equal(primitives.every((p) => p.attributes.NORMAL !== undefined), sides === 6, count + ' groups');
        assert.ok(fs.statSync(file).size < 20 * 1024 * 1024, count + ' groups: ' + fs.statSync(file).size);
        if (sides === 4)
            continue;
        // Every normal is of unit length, across its prism's axis, out from it: the corners of a ring, each
        // less its ring's middle, lie along their normals at the link's radius.
        const points = accessorFloats(file, json, primitives[0].attributes.POSITION);
        const normals = accessorFloats(file, json, primitives[0].attributes.NORMAL);
        for (let prism = 0; prism < 100; ++prism)
            for (let ring = 0; ring < 2; ++ring) {
                const first = 3 * (12 * prism + 6 * ring);
                const middle = [0, 1, 2].map((axis) => [0, 1, 2, 3, 4, 5].reduce((sum, k) => sum + points[first + 3 * k + axis], 0) / 6);
                for (let k = 0; k < 6; ++k) {
                    const normal = normals.slice(first + 3 * k, first + 3 * k + 3);
                    const out = [0, 1, 2].map((axis) => points[first + 3 * k + axis] - middle[axis]);
                    assert.ok(Math.abs(Math.hypot(...normal) - 1) < 1e-5);
                    const along = out.reduce((sum, value, axis) => sum + value * normal[axis], 0);
                    assert.ok(Math.abs(along - Math.hypot(...out)) < 1e-4, 'a normal not out from the axis');
                }
            }
    }
});

test('LINKMAP_SCENE_LABELS=1 puts every name on a quad that faces the first view', async () => {
    const {file, links} = write('labels.glb', example, {LINKMAP_SCENE_LABELS: '1'});
    await validate(file);
    const json = sceneJson(file);
    const {sites, child} = contents(json);
    assert.equal(contents(sceneJson(write('bare.glb', example).file)).child('labels'), undefined);
    const primitive = json.meshes[child('labels').mesh].primitives[0];
    const material = json.materials[primitive.material];
    assert.ok(material.extensions.KHR_materials_unlit, 'the labels are lit');
    assert.equal(material.alphaMode, 'BLEND');
    assert.equal(json.images[json.textures[material.pbrMetallicRoughness.baseColorTexture.index].source].mimeType, 'image/png');
    const points = accessorFloats(file, json, primitive.attributes.POSITION);
    const corners = accessorFloats(file, json, primitive.attributes.TEXCOORD_0);
    assert.equal(points.length, 3 * 4 * namesOf(links).length);
    assert.ok(corners.every((value) => value >= 0 && value <= 1));
    // Each quad stands square to the first view's line of sight, centred below its site.
    const camera = child('first view');
    const [x, y, z, w] = camera.rotation;
    const forward = [-(2 * (x * z + w * y)), -(2 * (y * z - w * x)), -(1 - 2 * (x * x + y * y))];
    sites.forEach((site, index) => {
        const corner = (k) => points.slice(12 * index + 3 * k, 12 * index + 3 * k + 3);
        const across = corner(1).map((value, axis) => value - corner(0)[axis]);
        const up = corner(2).map((value, axis) => value - corner(0)[axis]);
        const dot = (a, b) => a.reduce((sum, value, axis) => sum + value * b[axis], 0);
        assert.ok(Math.abs(dot(across, forward)) < 1e-3 * Math.hypot(...across), site.name + ' leans');
        assert.ok(Math.abs(dot(up, forward)) < 1e-3 * Math.hypot(...up), site.name + ' leans');
        const middle = [0, 1, 2].map((axis) => (corner(0)[axis] + corner(3)[axis]) / 2);
        assert.ok(Math.abs(middle[0] - site.translation[0]) < 1e-3 && middle[1] < site.translation[1], site.name + ' stands apart from its site');
    });
});

test('a structure\'s scene is in ångströms, with its chain', async () => {
    const structure = path.join(process.env.LINKMAP_EXAMPLES, '1hpv.pdb');
    const matrix = path.join(process.env.LINKMAP_EXAMPLES, 'protease-gnm.csv');
    const {file} = write('protease.glb', [matrix], {LINKMAP_STRUCTURE: structure});
    const report = await validate(file);
    const {sites, vertices} = contents(sceneJson(file));
    assert.ok(vertices('chain') > 0);
    // Neighbouring residues' alpha carbons stand 3.8 Å apart.
    const place = (name) => sites.find((node) => node.name === name).translation;
    const distance = Math.hypot(...place('I50').map((x, i) => x - place('G51')[i]));
    assert.ok(Math.abs(distance - 3.8) < 0.2, 'I50 to G51: ' + distance);
    assert.ok(report.info.totalVertexCount > 0);
});

test('Blender imports the scene with every site, link and label in place', (context) => {
    if (spawnSync('blender', ['--version']).error) {
        context.skip('Blender is not installed (apt-get install blender)');
        return;
    }
    const {file, links} = write('blender.glb', example, {LINKMAP_SCENE_LABELS: '1'});
    const script = `
import numpy
if not hasattr(numpy, 'bool'):
    numpy.bool = bool
import bpy, json
bpy.ops.wm.read_factory_settings(use_empty=True)
bpy.ops.import_scene.gltf(filepath=${JSON.stringify(file)})
found = {o.name: {'type': o.type, 'vertices': len(o.data.vertices) if o.type == 'MESH' else 0,
                  'place': list(o.matrix_world.translation)} for o in bpy.data.objects}
print('IMPORTED ' + json.dumps(found))
`;
    const output = execFileSync('blender', ['-b', '--factory-startup', '--python-expr', script],
                                {encoding: 'utf8', maxBuffer: 1 << 28, timeout: 300000});
    const line = output.split('\n').find((each) => each.startsWith('IMPORTED '));
    assert.ok(line, output.slice(-2000));
    const objects = JSON.parse(line.slice('IMPORTED '.length));
    const json = sceneJson(file);
    const {sites} = contents(json);
    for (const node of sites) {
        const object = objects[node.name];
        assert.ok(object && object.type === 'MESH', node.name + ' did not arrive');
        // Blender stands +z up, as the layout does: the site is where the layout put it.
        object.place.forEach((x, i) => assert.ok(Math.abs(x - node.translation[i]) < 1e-3, node.name));
    }
    assert.equal(objects.links.vertices, 12 * links.length);
    // The labels arrive as one object, a quad a site.
    assert.equal(objects.labels.vertices, 4 * sites.length);
});

test('a page or a scene that cannot be written is an error, with status 1', () => {
    const full = path.dirname(write('probe.glb', example).file);
    for (const name of ['full.glb', 'full.gltf', 'full.html']) {
        fs.symlinkSync('/dev/full', path.join(full, name));
        for (const out of [path.join(full, name), path.join(full, 'missing', name)]) {
            const run = spawnSync(linkmap, [...example, '--generate-image', out], {encoding: 'utf8'});
            assert.equal(run.status, 1, out);
            const last = run.stdout.trim().split('\n').pop();
            assert.match(last, new RegExp('^Error: could not write the (page|scene) .*' + name + ': (No space left on device|No such file or directory)$'));
        }
    }
});
