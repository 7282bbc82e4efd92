// The page's own script: it draws the network its data holds with three.js, turns it as the window turns, and
// writes in the corner what the window writes there, for a click, the cutoff keys and the region keys.
(function () {
    'use strict';

    const data = JSON.parse(document.getElementById('linkmap-data').textContent);
    const linkLook = document.getElementById('link-look').textContent;

    // --- the records, out of their base64 ---------------------------------------------------------------

    function bytesOf(text) {
        const raw = atob(text);
        const bytes = new Uint8Array(raw.length);
        for (let i = 0; i < raw.length; ++i)
            bytes[i] = raw.charCodeAt(i);
        return bytes;
    }
    const floatsOf = (text) => new Float32Array(bytesOf(text).buffer);

    const siteCount = data.sites;
    const linkCount = data.links;
    const positions = floatsOf(data.positions);
    const kinds = bytesOf(data.kinds);
    const siteColors = data.siteColors ? floatsOf(data.siteColors) : null;
    const siteScales = data.siteScales ? floatsOf(data.siteScales) : null;
    const scaleOf = (site) => (siteScales ? siteScales[site] : 1);
    const ends = new Uint32Array(bytesOf(data.ends).buffer);
    const weights = floatsOf(data.weights);
    const weightBits = new Uint32Array(weights.buffer);
    const linkRegions = data.linkRegions ? bytesOf(data.linkRegions) : new Uint8Array(linkCount);
    const givenEmphasis = data.emphasised ? bytesOf(data.emphasised) : null;
    const givenThickness = data.thickness ? floatsOf(data.thickness) : null;
    const trace = floatsOf(data.trace);
    const glyphs = data.glyphs;
    const figureStyle = data.figureStyle;
    const labelRanks = figureStyle ? new Uint32Array(bytesOf(figureStyle.labelRanks).buffer) : null;
    const dimmedSites = figureStyle && figureStyle.dimmedSites ? bytesOf(figureStyle.dimmedSites) : null;
    const names = Array.from(document.querySelectorAll('#sites li'), (item) => item.textContent);

    // Every site's links, by their places in the log, in the log's order; a link from a site to itself once.
    const linkStarts = new Uint32Array(siteCount + 1);
    for (let link = 0; link < linkCount; ++link) {
        ++linkStarts[ends[2 * link] + 1];
        if (ends[2 * link + 1] !== ends[2 * link])
            ++linkStarts[ends[2 * link + 1] + 1];
    }
    for (let site = 0; site < siteCount; ++site)
        linkStarts[site + 1] += linkStarts[site];
    const siteLinks = new Uint32Array(linkStarts[siteCount]);
    {
        const filled = linkStarts.slice(0, siteCount);
        for (let link = 0; link < linkCount; ++link) {
            siteLinks[filled[ends[2 * link]]++] = link;
            if (ends[2 * link + 1] !== ends[2 * link])
                siteLinks[filled[ends[2 * link + 1]]++] = link;
        }
    }

    // --- the view's state, as the window keeps it ----------------------------------------------------------

    const state = {
        cutoff: Math.fround(data.view.cutoff),
        region: data.view.region,
        pick: data.view.pick,
        // The paths of the run's settings: whether they show, and which alone, if one does.
        paths: {shown: data.pathLines.length > 0, one: null},
        message: '',
    };
    const regionByKind = new Map(data.regions.map((entry) => [entry.kind, entry]));
    const regionBit = (kind) => (regionByKind.has(kind) ? regionByKind.get(kind).bit : 0);

    // Whether a link is shown by the cutoff on |weight| and the region filter, as LinkFilter::shows says.
    function isShown(link) {
        const bit = regionBit(state.region);
        return !(Math.abs(weights[link]) < state.cutoff) && (bit === 0 || (linkRegions[link] & bit) !== 0);
    }
    function countShown(from, to, list) {
        let shown = 0;
        for (let i = from; i < to; ++i)
            shown += isShown(list ? list[i] : i) ? 1 : 0;
        return shown;
    }

    // The corner's lines of the paths shown: all of them, or one, and at which cutoff they were found while
    // another cutoff or filter holds, under which their links stay drawn.
    const pathList = data.paths.list;
    const foundCutoff = Math.fround(data.view.cutoff);
    const foundRegion = data.view.region;
    function pathLines() {
        if (!state.paths.shown || data.pathLines.length === 0)
            return [];
        const lines = [data.pathLines[0]];
        if (state.paths.one !== null)
            lines.push(pathList[state.paths.one].line);
        if (pathList.length > 0 && (state.cutoff !== foundCutoff || state.region !== foundRegion))
            lines.push(data.paths.foundAt);
        return lines;
    }

    // --- the corner's text, word for word the window's --------------------------------------------------

    // A float as C's "%.Nf" writes it: JavaScript's toFixed rounds the same exact value the same way, but for
    // the sign of zero and of NaN, infinities, and numbers of 10^21 and more.
    function printed(value, digits, negative) {
        if (Number.isNaN(value))
            return negative ? '-nan' : 'nan';
        if (!Number.isFinite(value))
            return value < 0 ? '-inf' : 'inf';
        const sign = value < 0 || Object.is(value, -0) ? '-' : '';
        const size = Math.abs(value);
        const fraction = digits > 0 ? '.' + '0'.repeat(digits) : '';
        return sign + (size >= 1e21 ? BigInt(size).toString() + fraction : size.toFixed(digits));
    }
    const weightText = (link) => printed(weights[link], 6, (weightBits[link] >>> 31) === 1);

    function describeSite(site) {
        let text = names[site];
        if (data.residues.length > site && data.residues[site] !== '')
            text += ' (' + data.residues[site] + ')';
        text += ': ';
        const entry = regionByKind.get(kinds[site]);
        text += entry ? entry.word + ' region (' + entry.list + ')' : 'in no region';
        if (data.measures.length > site && data.measures[site] !== '')
            text += '; ' + data.measures[site];
        const first = linkStarts[site];
        const last = linkStarts[site + 1];
        const count = last - first;
        if (count === 0)
            return text + '; no links';
        // The strongest link is the one of largest |weight|; a weight that is no number is never the strongest.
        let strongest = siteLinks[first];
        for (let i = first; i < last; ++i) {
            const weight = Math.abs(weights[siteLinks[i]]);
            const best = Math.abs(weights[strongest]);
            if (weight > best || (Number.isNaN(best) && !Number.isNaN(weight)))
                strongest = siteLinks[i];
        }
        const other = names[ends[2 * strongest] === site ? ends[2 * strongest + 1] : ends[2 * strongest]];
        text += '; ' + count + (count === 1 ? ' link' : ' links');
        if (state.cutoff > 0 || state.region !== 0)
            text += ', ' + countShown(first, last, siteLinks) + ' shown';
        return text + (count === 1 ? ', with ' : ', the strongest with ') + other + ' at ' + weightText(strongest);
    }

    // The corner's line for a site or a link, picked or under the pointer; empty for nothing.
    function describePick(pick) {
        if (pick.kind === 'site' && pick.index < siteCount)
            return describeSite(pick.index);
        if (pick.kind === 'link' && pick.index < linkCount)
            return 'Link between ' + names[ends[2 * pick.index]] + ' and ' + names[ends[2 * pick.index + 1]] +
                   ' with weight ' + weightText(pick.index);
        return '';
    }

    function describeView() {
        const lines = [];
        const pick = state.pick;
        if (describePick(pick) !== '')
            lines.push(describePick(pick));
        const shown = state.cutoff > 0 || state.region !== 0 ? countShown(0, linkCount) : linkCount;
        if (state.region !== 0) {
            const entry = regionByKind.get(state.region);
            lines.push('Links touching ' + entry.word + ' sites (' + entry.list + '): ' + shown + ' of ' + linkCount +
                       ' shown');
        }
        lines.push(...pathLines());
        if (state.message)
            lines.push(state.message);
        if (state.cutoff > 0)
            lines.push('Cutoff ' + printed(state.cutoff, 2, false) + ': ' + shown + ' of ' + linkCount + ' links shown');
        return lines.join('\n');
    }

    const corner = document.getElementById('corner');

    // --- the scene ------------------------------------------------------------------------------------------

    const container = document.getElementById('scene');
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
    container.appendChild(renderer.domElement);
    const canvas = renderer.domElement;

    const scene = new THREE.Scene();
    const camera = new THREE.PerspectiveCamera(data.camera.fov, 1, 1, 2);
    camera.position.set(...data.camera.eye);
    camera.up.set(...data.camera.up);
    const target = new THREE.Vector3(...data.camera.center);
    camera.lookAt(target);

    // The scene's bound, for the near and far planes wherever the camera goes.
    const bound = new THREE.Sphere();
    {
        const points = [];
        for (let site = 0; site < siteCount; ++site)
            points.push(new THREE.Vector3(positions[3 * site], positions[3 * site + 1], positions[3 * site + 2]));
        for (let i = 0; i + 2 < trace.length; i += 3)
            points.push(new THREE.Vector3(trace[i], trace[i + 1], trace[i + 2]));
        bound.setFromPoints(points);
        const largest = siteScales ? siteScales.reduce((most, scale) => Math.max(most, scale), 1) : 1;
        bound.radius += glyphs.siteRadius * (2 * largest - 1) + glyphs.labelHeight + glyphs.labelDrop;
    }

    // Headlight shading, as the figures light their spheres and links: a tenth ambient, and diffuse from the eye.
    const lighting = 'vec3 lit(vec3 color, vec3 normal) { return color * min(1.0, 0.1 + 0.8 * max(normalize(normal).z, 0.0)); }\n';
    const hidden = 'gl_Position = vec4(2.0, 2.0, 2.0, 1.0);';

    // Every glyph is a flat quad that its fragments shade as the sphere or cylinder it stands for, all in one
    // draw: software renderers pay for every instance of an instanced draw, and these are a handful of vertices
    // each. Quads are two triangles of four corners, at four vertices a glyph.
    function quadIndices(count) {
        const indices = new Uint32Array(6 * count);
        for (let glyph = 0, v = 0; glyph < count; ++glyph, v += 4)
            indices.set([v, v + 1, v + 2, v + 2, v + 1, v + 3], 6 * glyph);
        return new THREE.BufferAttribute(indices, 1);
    }

    // Sites, in an even spread: every k-th first, so that the first siteBudget of them, which the light picture
    // draws while the view moves, stand all over the network.
    const siteBudget = 20000;
    const siteOrder = new Uint32Array(siteCount);
    {
        const stride = Math.max(1, Math.ceil(siteCount / siteBudget));
        let place = 0;
        for (let offset = 0; offset < stride; ++offset)
            for (let site = offset; site < siteCount; site += stride)
                siteOrder[place++] = site;
    }
    const sphereGeometry = new THREE.BufferGeometry();
    {
        const centres = new Float32Array(12 * siteCount);
        const colors = new Float32Array(12 * siteCount);
        const corners = new Float32Array(8 * siteCount);
        const scales = new Float32Array(4 * siteCount);
        const dimmed = new Float32Array(4 * siteCount);
        siteOrder.forEach((site, place) => {
            dimmed.fill(dimmedSites && dimmedSites[site] ? 1 : 0, 4 * place, 4 * place + 4);
            const entry = regionByKind.get(kinds[site]);
            for (let corner = 0; corner < 4; ++corner) {
                centres.set(positions.subarray(3 * site, 3 * site + 3), 12 * place + 3 * corner);
                colors.set(siteColors ? siteColors.subarray(3 * site, 3 * site + 3)
                    : entry ? entry.color : data.noRegionColor, 12 * place + 3 * corner);
                corners.set([corner & 1 ? 1 : -1, corner & 2 ? 1 : -1], 8 * place + 2 * corner);
                scales[4 * place + corner] = scaleOf(site);
            }
        });
        sphereGeometry.setAttribute('position', new THREE.BufferAttribute(centres, 3));
        sphereGeometry.setAttribute('tint', new THREE.BufferAttribute(colors, 3));
        sphereGeometry.setAttribute('corner', new THREE.BufferAttribute(corners, 2));
        sphereGeometry.setAttribute('scale', new THREE.BufferAttribute(scales, 1));
        sphereGeometry.setAttribute('dimmed', new THREE.BufferAttribute(dimmed, 1));
        sphereGeometry.setIndex(quadIndices(siteCount));
    }
    // The quad stands at the sphere's centre, wide enough for its outline in perspective; each fragment casts
    // a ray from the eye to the sphere, and takes the depth, the normal and the light of where it meets it.
    // A figure's sites on no path are dimmed while the paths show, as their links are.
    const sphereUniforms = {
        radius: {value: glyphs.siteRadius}, projection: {value: camera.projectionMatrix},
        dimming: {value: 0}, background: {value: new THREE.Vector3(...data.background)},
    };
    const spheres = new THREE.Mesh(sphereGeometry, new THREE.ShaderMaterial({
        uniforms: sphereUniforms,
        extensions: {fragDepth: true},
        vertexShader: 'uniform float radius; uniform float dimming; uniform vec3 background;\n' +
            'attribute vec3 tint; attribute vec2 corner; attribute float scale; attribute float dimmed;\n' +
            'varying vec3 vColor; varying vec3 vPoint; varying vec3 vCentre; varying float vRadius;\n' + linkLook + '\n' +
            'void main() { vColor = dimming * dimmed > 0.5 ? dimmedColor(tint, background) : tint;\n' +
            '  vec4 centre = modelViewMatrix * vec4(position, 1.0); vCentre = centre.xyz;\n' +
            '  vRadius = radius * scale; vPoint = centre.xyz + vec3(corner * vRadius * 1.5, 0.0);\n' +
            '  gl_Position = projectionMatrix * vec4(vPoint, 1.0); }',
        fragmentShader: 'precision highp float; uniform mat4 projection;\n' +
            'varying vec3 vColor; varying vec3 vPoint; varying vec3 vCentre; varying float vRadius;\n' + lighting +
            'void main() { vec3 ray = normalize(vPoint); float middle = dot(ray, vCentre);\n' +
            '  float miss = middle * middle - dot(vCentre, vCentre) + vRadius * vRadius; if (miss < 0.0) discard;\n' +
            '  vec3 hit = ray * (middle - sqrt(miss)); vec4 clip = projection * vec4(hit, 1.0);\n' +
            '  gl_FragDepthEXT = 0.5 * clip.z / clip.w + 0.5;\n' +
            '  gl_FragColor = vec4(lit(vColor, (hit - vCentre) / vRadius), 1.0); }',
    }));
    spheres.frustumCulled = false;
    // Dims the spheres of the sites on no path of those given (the sites of the path shown alone), or as the
    // data has them for all the paths.
    function dimSites(onPath) {
        const keep = onPath ? new Set(onPath) : null;
        const attribute = sphereGeometry.getAttribute('dimmed');
        siteOrder.forEach((site, place) =>
            attribute.array.fill((keep ? !keep.has(site) : dimmedSites[site]) ? 1 : 0, 4 * place, 4 * place + 4));
        attribute.needsUpdate = true;
    }
    scene.add(spheres);

    // Links: a quad from end to end, turned to face the eye, shaded across as the cylinder it stands for; its
    // colour, the filter and the dimming are those of the window's batched links. Four vertices a link: its own
    // end, the other, its look (weight, regions, thickness signed by the side of the quad, which end) and
    // whether it is emphasised.
    const linkLookAttribute = new THREE.BufferAttribute(new Float32Array(16 * linkCount), 4);
    const emphasisAttribute = new THREE.BufferAttribute(new Float32Array(4 * linkCount), 1);
    const linkGeometry = new THREE.BufferGeometry();
    {
        const here = new Float32Array(12 * linkCount);
        const there = new Float32Array(12 * linkCount);
        // Plain index arithmetic: at 10^6 links, a subarray a corner would make eight million objects.
        for (let link = 0; link < linkCount; ++link)
            for (let corner = 0; corner < 4; ++corner) {
                const end = corner >> 1;
                const near = 3 * ends[2 * link + end];
                const far = 3 * ends[2 * link + 1 - end];
                for (let axis = 0; axis < 3; ++axis) {
                    here[12 * link + 3 * corner + axis] = positions[near + axis];
                    there[12 * link + 3 * corner + axis] = positions[far + axis];
                }
            }
        linkGeometry.setAttribute('position', new THREE.BufferAttribute(here, 3));
        linkGeometry.setAttribute('other', new THREE.BufferAttribute(there, 3));
        linkGeometry.setAttribute('look', linkLookAttribute);
        linkGeometry.setAttribute('emphasised', emphasisAttribute);
        linkGeometry.setIndex(quadIndices(linkCount));
    }
    const linkUniforms = {
        radius: {value: glyphs.linkRadius},
        thinnestWeight: {value: glyphs.thinnestWeight},
        cutoff: {value: state.cutoff},
        regionFilter: {value: regionBit(state.region)},
        emphasis: {value: 0},
        keepPaths: {value: 0},
        background: {value: new THREE.Vector3(...data.background)},
    };
    const linkColor = '  vec3 color = weightColor(look.x);\n' +
        '  vColor = emphasis > 0.5 && emphasised < 0.5 ? dimmedColor(color, background) : color;\n';
    const cylinders = new THREE.Mesh(linkGeometry, new THREE.ShaderMaterial({
        uniforms: linkUniforms,
        side: THREE.DoubleSide,
        vertexShader: 'uniform float radius; uniform float thinnestWeight; uniform float cutoff; uniform float regionFilter;\n' +
            'uniform float emphasis; uniform float keepPaths;\n' +
            'uniform vec3 background; attribute vec3 other; attribute vec4 look; attribute float emphasised;\n' +
            'varying vec3 vColor; varying float vAcross; varying vec3 vSide; varying vec3 vFacing;\n' + linkLook + '\n' +
            'void main() {\n' +
            '  if (!(keepPaths > 0.5 && emphasised > 0.5) && !linkShown(look.x, look.y, cutoff, regionFilter)) { ' + hidden + ' return; }\n' +
            '  vec4 point = modelViewMatrix * vec4(position, 1.0);\n' +
            '  vec3 axis = (modelViewMatrix * vec4(other, 1.0)).xyz - point.xyz;\n' +
            '  if (look.w > 0.5) axis = -axis;\n' +
            '  vec3 side = cross(axis, -point.xyz); float size = length(side);\n' +
            '  side = size > 0.0 ? side / size : vec3(0.0);\n' +
            '  float length2 = max(dot(axis, axis), 1e-20);\n' +
            '  vFacing = normalize(-point.xyz + axis * dot(point.xyz, axis) / length2);\n' +
            '  vSide = side; vAcross = sign(look.z);\n' + linkColor +
            '  point.xyz += side * radius * linkWidth(look.x, thinnestWeight) * look.z;\n' +
            '  gl_Position = projectionMatrix * point; }',
        fragmentShader: 'precision mediump float; varying vec3 vColor; varying float vAcross; varying vec3 vSide;\n' +
            'varying vec3 vFacing;\n' + lighting +
            'void main() { vec3 normal = vAcross * vSide + sqrt(max(1.0 - vAcross * vAcross, 0.0)) * vFacing;\n' +
            '  gl_FragColor = vec4(lit(vColor, normal), 1.0); }',
    }));
    cylinders.frustumCulled = false;
    scene.add(cylinders);

    // Each link's look, thickness and emphasis, from the view's state: the paths' thickness while there are
    // paths, and the emphasis of the paths, or else of the pick.
    function showLinks() {
        const pick = state.pick;
        const paths = state.paths.shown && givenEmphasis !== null;
        const one = paths && state.paths.one !== null ? new Set(pathList[state.paths.one].links) : null;
        const look = linkLookAttribute.array;
        const emphasised = emphasisAttribute.array;
        emphasised.fill(0);
        for (let link = 0; link < linkCount; ++link) {
            const thickness = one ? (one.has(link) ? data.paths.onePathThickness : 1)
                : paths && givenThickness ? givenThickness[link] : 1;
            for (let corner = 0, at = 16 * link; corner < 4; ++corner, at += 4) {
                look[at] = weights[link];
                look[at + 1] = linkRegions[link];
                look[at + 2] = corner & 1 ? thickness : -thickness;
                look[at + 3] = corner >> 1;
            }
            if (one ? one.has(link) : paths && givenEmphasis[link])
                emphasised.fill(1, 4 * link, 4 * link + 4);
        }
        if (!paths && pick.kind === 'site')
            for (let i = linkStarts[pick.index]; i < linkStarts[pick.index + 1]; ++i)
                emphasised.fill(1, 4 * siteLinks[i], 4 * siteLinks[i] + 4);
        if (!paths && pick.kind === 'link')
            emphasised.fill(1, 4 * pick.index, 4 * pick.index + 4);
        linkUniforms.emphasis.value = paths || pick.kind !== '' ? 1 : 0;
        linkUniforms.keepPaths.value = paths && pathList.length > 0 ? 1 : 0;
        sphereUniforms.dimming.value = paths ? 1 : 0;
        if (dimmedSites)
            dimSites(one ? pathList[state.paths.one].sites : null);
        linkLookAttribute.needsUpdate = true;
        emphasisAttribute.needsUpdate = true;
        lightChanged = true;
    }

    // The light picture drawn while the view moves, on a large network, as the window draws one: the strongest
    // links shown, up to linkBudget, as lines in their colours, and the first siteBudget sites of the even
    // spread.
    const linkBudget = 20000;
    const lightLines = new THREE.LineSegments(new THREE.BufferGeometry(), new THREE.ShaderMaterial({
        uniforms: linkUniforms,
        vertexShader: 'uniform float emphasis; uniform vec3 background; attribute vec4 look; attribute float emphasised;\n' +
            'varying vec3 vColor;\n' + linkLook + '\n' +
            'void main() {\n' + linkColor + '  gl_Position = projectionMatrix * modelViewMatrix * vec4(position, 1.0); }',
        fragmentShader: 'precision mediump float; varying vec3 vColor; void main() { gl_FragColor = vec4(vColor, 1.0); }',
    }));
    lightLines.frustumCulled = false;
    lightLines.visible = false;
    scene.add(lightLines);
    const lightFrom = data.lightFrom;
    const hasLightPicture = linkCount + siteCount >= lightFrom;
    let lightChanged = true;

    function makeLightLines() {
        const strength = new Float32Array(linkCount);
        let shown = 0;
        for (let link = 0; link < linkCount; ++link)
            if (isShown(link))
                strength[shown++] = Number.isNaN(weights[link]) ? 0 : Math.abs(weights[link]);
        const sorted = strength.subarray(0, shown).sort();
        const floor = shown > linkBudget ? sorted[shown - linkBudget] : -1;
        const points = [];
        const looks = [];
        const emphasised = [];
        for (let link = 0; link < linkCount && points.length < 6 * linkBudget; ++link) {
            const size = Number.isNaN(weights[link]) ? 0 : Math.abs(weights[link]);
            if (!(isShown(link) || (linkUniforms.keepPaths.value > 0 && emphasisAttribute.array[4 * link] > 0)) || size < floor)
                continue;
            for (let end = 0; end < 2; ++end) {
                const site = ends[2 * link + end];
                points.push(positions[3 * site], positions[3 * site + 1], positions[3 * site + 2]);
                looks.push(weights[link], linkRegions[link], 0, 0);
                emphasised.push(emphasisAttribute.array[4 * link]);
            }
        }
        const geometry = new THREE.BufferGeometry();
        geometry.setAttribute('position', new THREE.Float32BufferAttribute(points, 3));
        geometry.setAttribute('look', new THREE.Float32BufferAttribute(looks, 4));
        geometry.setAttribute('emphasised', new THREE.Float32BufferAttribute(emphasised, 1));
        lightLines.geometry.dispose();
        lightLines.geometry = geometry;
        lightChanged = false;
    }
    function showLight(light) {
        if (light && lightChanged)
            makeLightLines();
        lightLines.visible = light;
        cylinders.visible = !light;
        sphereGeometry.setDrawRange(0, light ? 6 * Math.min(siteCount, siteBudget) : Infinity);
    }

    // The chain the sites stand on: lines beneath them, grey or in the colours of the sites along it; in a
    // figure, the tube the C++ made, lit as the spheres are.
    if (figureStyle && figureStyle.traceTube) {
        const tube = figureStyle.traceTube;
        const geometry = new THREE.BufferGeometry();
        geometry.setAttribute('position', new THREE.BufferAttribute(floatsOf(tube.points), 3));
        geometry.setAttribute('normal', new THREE.BufferAttribute(floatsOf(tube.normals), 3));
        geometry.setAttribute('tint', new THREE.BufferAttribute(floatsOf(tube.colors), 3));
        geometry.setIndex(new THREE.BufferAttribute(new Uint32Array(bytesOf(tube.triangles).buffer), 1));
        scene.add(new THREE.Mesh(geometry, new THREE.ShaderMaterial({
            vertexShader: 'attribute vec3 tint; varying vec3 vColor; varying vec3 vNormal;\n' +
                'void main() { vColor = tint; vNormal = normalMatrix * normal;\n' +
                '  gl_Position = projectionMatrix * modelViewMatrix * vec4(position, 1.0); }',
            fragmentShader: 'precision highp float; varying vec3 vColor; varying vec3 vNormal;\n' + lighting +
                'void main() { gl_FragColor = vec4(lit(vColor, vNormal), 1.0); }',
        })));
    } else if (trace.length > 0) {
        const geometry = new THREE.BufferGeometry();
        geometry.setAttribute('position', new THREE.BufferAttribute(trace, 3));
        const colored = data.traceColors !== '';
        if (colored)
            geometry.setAttribute('color', new THREE.BufferAttribute(floatsOf(data.traceColors), 3));
        scene.add(new THREE.LineSegments(geometry, colored ? new THREE.LineBasicMaterial({vertexColors: THREE.VertexColors})
            : new THREE.LineBasicMaterial({color: new THREE.Color(...data.traceColor)})));
    }

    // --- labels: real text over the picture -----------------------------------------------------------------

    // All of a small network's labels show; of a large one, the labelBudget that stand largest in the view,
    // chosen again whenever the view comes to rest. Every name is in the list of sites, whatever shows.
    const labelBudget = data.labelBudget;
    const labelLayer = document.getElementById('labels');
    const labelNote = document.getElementById('label-note');
    let labelled = [];
    const labelNodes = new Map();

    function pixelsPerUnit(depth) {
        return canvas.clientHeight / 2 / Math.tan(THREE.Math.degToRad(camera.fov) / 2) / depth;
    }
    const anchor = new THREE.Vector3();
    const eyePoint = new THREE.Vector3();
    function placeLabel(site, node) {
        anchor.set(positions[3 * site],
            positions[3 * site + 1] - glyphs.labelDrop - glyphs.siteRadius * (scaleOf(site) - 1),
            positions[3 * site + 2]);
        eyePoint.copy(anchor).applyMatrix4(camera.matrixWorldInverse);
        if (-eyePoint.z <= camera.near) {
            node.style.display = 'none';
            return;
        }
        anchor.project(camera);
        const x = (anchor.x + 1) / 2 * canvas.clientWidth;
        const y = (1 - anchor.y) / 2 * canvas.clientHeight;
        node.style.display = '';
        node.style.fontSize = (glyphs.labelHeight * pixelsPerUnit(-eyePoint.z)).toFixed(2) + 'px';
        node.style.transform = 'translate(' + x.toFixed(1) + 'px,' + y.toFixed(1) + 'px) translate(-50%, -50%)';
    }
    // A figure's labels keep apart: where two would overlap, the one favoured (the pick, the paths' sites),
    // else the more central, else the nearer keeps its label, as every output of a figure chooses. Each is
    // outlined in the background's colour.
    const measure = document.createElement('canvas').getContext('2d');
    const textWidths = new Map();
    function textWidth(site) {
        let width = textWidths.get(site);
        if (width === undefined) {
            measure.font = '100px ' + getComputedStyle(labelLayer).fontFamily;
            width = measure.measureText(names[site]).width / 100;
            textWidths.set(site, width);
        }
        return width;
    }
    if (figureStyle) {
        const halo = 'rgb(' + data.background.map((channel) => Math.round(255 * channel)).join(',') + ')';
        const reach = figureStyle.haloWidth;
        labelLayer.style.textShadow = [[1, 0], [-1, 0], [0, 1], [0, -1], [0.7, 0.7], [-0.7, 0.7], [0.7, -0.7], [-0.7, -0.7]]
            .map(([x, y]) => (x * reach).toFixed(3) + 'em ' + (y * reach).toFixed(3) + 'em 0 ' + halo).join(',');
    }
    function labelsApart(frustum) {
        const favoured = new Map();
        const favour = (site) => favoured.has(site) || favoured.set(site, favoured.size);
        const pick = state.pick;
        if (pick.kind === 'site')
            favour(pick.index);
        if (pick.kind === 'link') {
            favour(ends[2 * pick.index]);
            favour(ends[2 * pick.index + 1]);
        }
        if (state.paths.shown && state.paths.one !== null)
            pathList[state.paths.one].sites.forEach(favour);
        else if (state.paths.shown)
            figureStyle.favoured.forEach(favour);
        const candidates = [];
        for (let site = 0; site < siteCount; ++site) {
            anchor.set(positions[3 * site],
                positions[3 * site + 1] - glyphs.labelDrop - glyphs.siteRadius * (scaleOf(site) - 1),
                positions[3 * site + 2]);
            if (!frustum.containsPoint(anchor))
                continue;
            eyePoint.copy(anchor).applyMatrix4(camera.matrixWorldInverse);
            const depth = -eyePoint.z;
            if (depth <= camera.near)
                continue;
            anchor.project(camera);
            const size = glyphs.labelHeight * pixelsPerUnit(depth);
            const padding = figureStyle.haloWidth * size + 1;
            candidates.push({
                site, depth, x: (anchor.x + 1) / 2 * canvas.clientWidth, y: (1 - anchor.y) / 2 * canvas.clientHeight,
                halfWidth: textWidth(site) * size / 2 + padding, halfHeight: size / 2 + padding,
                tier: favoured.has(site) ? favoured.get(site) : favoured.size, rank: labelRanks[site],
            });
        }
        candidates.sort((a, b) => a.tier - b.tier || a.rank - b.rank || a.depth - b.depth || a.site - b.site);
        // Each label kept is filed in every cell of a grid its box touches; two boxes that overlap share one.
        // The key, the corner and the controls are there first: no label covers them.
        const cell = candidates.reduce((most, each) => Math.max(most, 2 * each.halfWidth, 2 * each.halfHeight), 1);
        const cells = new Map();
        const chosen = [];
        const file = (box) => {
            for (let column = Math.floor((box.x - box.halfWidth) / cell); column <= Math.floor((box.x + box.halfWidth) / cell); ++column)
                for (let row = Math.floor((box.y - box.halfHeight) / cell); row <= Math.floor((box.y + box.halfHeight) / cell); ++row) {
                    const key = column + ',' + row;
                    if (!cells.has(key))
                        cells.set(key, []);
                    cells.get(key).push(box);
                }
        };
        const canvasBox = canvas.getBoundingClientRect();
        for (const node of document.querySelectorAll('#key > *, #corner, #controls, #panel')) {
            const box = node.getBoundingClientRect();
            if (box.width > 0 && box.height > 0 && node.textContent !== '' || node.classList.contains('key-box'))
                file({x: (box.left + box.right) / 2 - canvasBox.left, y: (box.top + box.bottom) / 2 - canvasBox.top,
                      halfWidth: box.width / 2, halfHeight: box.height / 2});
        }
        for (const label of candidates) {
            if (chosen.length >= labelBudget)
                break;
            const left = Math.floor((label.x - label.halfWidth) / cell);
            const right = Math.floor((label.x + label.halfWidth) / cell);
            const top = Math.floor((label.y - label.halfHeight) / cell);
            const bottom = Math.floor((label.y + label.halfHeight) / cell);
            let free = true;
            for (let column = left; column <= right && free; ++column)
                for (let row = top; row <= bottom && free; ++row)
                    for (const other of cells.get(column + ',' + row) || [])
                        if (Math.abs(label.x - other.x) < label.halfWidth + other.halfWidth &&
                            Math.abs(label.y - other.y) < label.halfHeight + other.halfHeight)
                            free = false;
            if (!free)
                continue;
            chosen.push(label.site);
            file(label);
        }
        return chosen;
    }
    function chooseLabels() {
        let chosen;
        if (figureStyle) {
            // The note first, as long as it will be, so that the labels keep clear of the panel it is in.
            const note = (count) => 'Labels: the ' + count + ' of ' + siteCount.toLocaleString('en') +
                ' sites whose names do not overlap, those picked, on a path or more central first; they are chosen again when the view comes to rest.';
            labelNote.textContent = note(siteCount);
            chosen = labelsApart(new THREE.Frustum().setFromMatrix(
                new THREE.Matrix4().multiplyMatrices(camera.projectionMatrix, camera.matrixWorldInverse)));
            labelNote.textContent = note(chosen.length);
        } else if (siteCount <= labelBudget)
            chosen = Array.from({length: siteCount}, (_, site) => site);
        else {
            const frustum = new THREE.Frustum().setFromMatrix(
                new THREE.Matrix4().multiplyMatrices(camera.projectionMatrix, camera.matrixWorldInverse));
            const candidates = [];
            const point = new THREE.Vector3();
            for (let site = 0; site < siteCount; ++site) {
                point.set(positions[3 * site], positions[3 * site + 1], positions[3 * site + 2]);
                if (frustum.containsPoint(point))
                    candidates.push([point.distanceToSquared(camera.position), site]);
            }
            candidates.sort((a, b) => a[0] - b[0] || a[1] - b[1]);
            chosen = candidates.slice(0, labelBudget).map((each) => each[1]);
            if (state.pick.kind === 'site' && !chosen.includes(state.pick.index))
                chosen.push(state.pick.index);
            labelNote.textContent = 'Labels: the ' + Math.min(labelBudget, candidates.length) + ' sites nearest the eye of ' +
                siteCount.toLocaleString('en') + '; they are chosen again when the view comes to rest. Every name is in the list below.';
        }
        const keep = new Set(chosen);
        for (const [site, node] of labelNodes)
            if (!keep.has(site)) {
                node.remove();
                labelNodes.delete(site);
            }
        for (const site of chosen)
            if (!labelNodes.has(site)) {
                const node = document.createElement('div');
                node.className = 'label';
                node.textContent = names[site];
                labelLayer.appendChild(node);
                labelNodes.set(site, node);
            }
        labelled = chosen;
        // How often the labels were chosen, for whoever waits for a new choice.
        document.body.dataset.labelChoices = String(Number(document.body.dataset.labelChoices || 0) + 1);
    }
    // Asks for the labels to be chosen again at the next frame; the page says so until they are.
    function wantLabels() {
        labelsWanted = true;
        document.body.dataset.labelsPending = 'true';
    }
    function placeLabels() {
        for (const site of labelled)
            placeLabel(site, labelNodes.get(site));
    }

    // --- the key ---------------------------------------------------------------------------------------------

    function placeKeyText(parent, text) {
        const node = document.createElement('span');
        node.className = 'key-text align' + text.alignment;
        node.textContent = text.text;
        node.style.left = text.x + 'vh';
        node.style.bottom = text.y + 'vh';
        parent.appendChild(node);
    }
    function placeKeyBox(parent, box, background) {
        const node = document.createElement('div');
        node.className = 'key-box';
        node.style.left = box.left + 'vh';
        node.style.bottom = box.bottom + 'vh';
        node.style.width = box.right - box.left + 'vh';
        node.style.height = box.top - box.bottom + 'vh';
        node.style.background = background;
        parent.appendChild(node);
    }
    if (data.key) {
        const key = document.getElementById('key');
        const css = (color) => 'rgb(' + color.map((c) => Math.round(255 * Math.min(Math.max(c, 0), 1))).join(',') + ')';
        placeKeyBox(key, data.key.bar, 'linear-gradient(to right, rgb(255,0,0), rgb(255,255,0), rgb(0,255,0))');
        data.key.barTexts.forEach((text) => placeKeyText(key, text));
        for (const swatch of data.key.swatches) {
            placeKeyBox(key, swatch.box, css(swatch.color));
            placeKeyText(key, swatch.name);
        }
        if (data.key.sizeNote)
            placeKeyText(key, data.key.sizeNote);
    }

    // --- drawing and turning ---------------------------------------------------------------------------------

    const controls = new THREE.TrackballControls(camera, canvas);
    controls.target.copy(target);
    controls.target0.copy(target);
    controls.staticMoving = true;
    // Zooming out stops where the window's does.
    if (data.camera.farthest > 0)
        controls.maxDistance = data.camera.farthest;
    controls.rotateSpeed = 2.0;
    controls.keys = [];
    controls.update();
    let moving = false;
    let wanted = true;
    let labelsWanted = false;
    const drawn = [];

    function fitPlanes() {
        const distance = camera.position.distanceTo(bound.center);
        camera.far = distance + 2 * bound.radius;
        camera.near = Math.max(distance - 2 * bound.radius, camera.far * 1e-4);
        camera.updateProjectionMatrix();
    }
    function resize() {
        const width = container.clientWidth;
        const height = container.clientHeight;
        renderer.setSize(width, height, false);
        fullPicture.setSize(canvas.width, canvas.height);
        camera.aspect = width / height;
        camera.updateProjectionMatrix();
        controls.handleResize();
        wanted = true;
    }
    // A large network's full picture is drawn in slices of its links, a frame each, over what the frames before
    // drew, offscreen as the window draws its own, and shown once it is whole: a drag or a key then waits for a
    // slice, not for the whole picture, and no frame shows part of it; meanwhile the light picture shows.
    // sliced counts the links the picture being drawn has drawn, and is 0 once it is complete.
    const sliceLinks = 25000;
    let sliced = 0;
    let slicedBefore = false;
    renderer.autoClear = false;
    const fullPicture = new THREE.WebGLRenderTarget(1, 1, {minFilter: THREE.NearestFilter, magFilter: THREE.NearestFilter});
    const showing = new THREE.Scene();
    showing.add(new THREE.Mesh(new THREE.PlaneBufferGeometry(2, 2), new THREE.ShaderMaterial({
        uniforms: {picture: {value: fullPicture.texture}},
        depthTest: false,
        depthWrite: false,
        vertexShader: 'varying vec2 vAt; void main() { vAt = position.xy * 0.5 + 0.5; gl_Position = vec4(position.xy, 0.0, 1.0); }',
        fragmentShader: 'precision highp float; uniform sampler2D picture; varying vec2 vAt;\n' +
            'void main() { gl_FragColor = texture2D(picture, vAt); }',
    })));
    const showingCamera = new THREE.OrthographicCamera(-1, 1, 1, -1, 0, 1);
    let shownWhole = false;

    // Waits for a slice's drawing to be done, so that no more than one is ever queued ahead of what a drag or a
    // key asks for next.
    const oneTexel = new Uint8Array(4);
    function finishSlice() {
        const gl = renderer.getContext();
        gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, oneTexel);
    }
    function noteFrame() {
        if (sliced > 0 || slicedBefore)
            finishSlice();
        slicedBefore = sliced > 0;
        placeLabels();
        // When each frame was drawn, the last thousand, and whether the picture is complete, for whoever
        // measures the page.
        drawn.push(performance.now());
        if (drawn.length > 1000)
            drawn.shift();
        document.body.dataset.frames = String(Number(document.body.dataset.frames || 0) + 1);
        document.body.dataset.complete = String(!moving && sliced === 0);
    }
    function draw() {
        fitPlanes();
        camera.updateMatrixWorld();
        const light = moving && hasLightPicture;
        const slicing = !light && hasLightPicture && linkCount > sliceLinks;
        // The window shows the light picture while the full one is drawn in slices, offscreen; before the
        // first full picture, the background alone.
        showLight(light || slicing);
        linkGeometry.setDrawRange(0, Infinity);
        renderer.clear();
        if (!slicing || shownWhole)
            renderer.render(scene, camera);
        sliced = 0;
        if (slicing) {
            showLight(false);
            linkGeometry.setDrawRange(0, 6 * sliceLinks);
            renderer.setRenderTarget(fullPicture);
            renderer.clear();
            renderer.render(scene, camera);
            renderer.setRenderTarget(null);
            sliced = sliceLinks;
        }
        noteFrame();
    }
    function drawSlice() {
        const others = scene.children.filter((child) => child !== cylinders && child.visible);
        others.forEach((child) => { child.visible = false; });
        linkGeometry.setDrawRange(6 * sliced, 6 * sliceLinks);
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
    function frame() {
        controls.update();
        // Labels are chosen for the view at rest, once the controls have taken the last move into the camera.
        if (labelsWanted && !moving) {
            labelsWanted = false;
            chooseLabels();
            document.body.dataset.labelsPending = 'false';
            wanted = true;
        }
        if (wanted) {
            wanted = false;
            draw();
        } else if (sliced > 0)
            drawSlice();
        requestAnimationFrame(frame);
    }
    controls.addEventListener('change', () => { wanted = true; });
    controls.addEventListener('start', () => { moving = true; });
    controls.addEventListener('end', () => {
        moving = false;
        wanted = true;
        wantLabels();
    });
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
    window.addEventListener('resize', resize);

    // --- picking, as the window picks --------------------------------------------------------------------------

    // The closest approach of a ray (origin o, unit direction d) to the segment from a to b: the distance
    // between them and how far along the ray, in approach[0] and approach[1]. Plain numbers, as a click on a
    // large network asks this of every link.
    const approach = [0, 0];
    function closestApproach(o, d, a, b) {
        const sx = b[0] - a[0], sy = b[1] - a[1], sz = b[2] - a[2];
        const bx = o[0] - a[0], by = o[1] - a[1], bz = o[2] - a[2];
        const length2 = sx * sx + sy * sy + sz * sz;
        const rayOffset = d[0] * bx + d[1] * by + d[2] * bz;
        let s = Math.max(0, -rayOffset);
        let u = 0;
        if (length2 > 1e-12) {
            const cosine = d[0] * sx + d[1] * sy + d[2] * sz;
            const segmentOffset = sx * bx + sy * by + sz * bz;
            const denominator = length2 - cosine * cosine;
            s = denominator > 1e-12 * length2 ? Math.max(0, (cosine * segmentOffset - rayOffset * length2) / denominator) : 0;
            u = (cosine * s + segmentOffset) / length2;
            if (u < 0) {
                u = 0;
                s = Math.max(0, -rayOffset);
            } else if (u > 1) {
                u = 1;
                s = Math.max(0, cosine - rayOffset);
            }
        }
        approach[0] = Math.hypot(o[0] + d[0] * s - a[0] - sx * u, o[1] + d[1] * s - a[1] - sy * u, o[2] + d[2] * s - a[2] - sz * u);
        approach[1] = s;
        return approach;
    }

    // What lies under a point of the canvas: the nearest site or shown link the ray passes through, or else the
    // one it passes closest to, within four pixels.
    function under(x, y) {
        const o = camera.position.toArray();
        const d = new THREE.Vector3((x / canvas.clientWidth) * 2 - 1, 1 - (y / canvas.clientHeight) * 2, 0.5)
            .unproject(camera).sub(camera.position).normalize().toArray();
        const slack = 4 * 2 * Math.tan(THREE.Math.degToRad(camera.fov) / 2) / canvas.clientHeight;
        let best = {kind: '', index: 0};
        let through = false;
        let rank = Infinity;
        function offer(kind, index, [distance, along], radius) {
            if (!(along > 0))
                return;
            const hit = distance <= radius;
            const candidate = hit ? along - Math.sqrt(radius * radius - distance * distance) : (distance - radius) / along;
            if (!hit && (through || candidate > slack))
                return;
            if ((hit && !through) || candidate < rank) {
                through = hit;
                rank = candidate;
                best = {kind: kind, index: index};
            }
        }
        const a = [0, 0, 0];
        const b = [0, 0, 0];
        const at = (point, site) => {
            point[0] = positions[3 * site];
            point[1] = positions[3 * site + 1];
            point[2] = positions[3 * site + 2];
            return point;
        };
        for (let site = 0; site < siteCount; ++site)
            offer('site', site, closestApproach(o, d, at(a, site), a), glyphs.siteRadius * scaleOf(site));
        for (let link = 0; link < linkCount; ++link)
            if (isShown(link))
                offer('link', link, closestApproach(o, d, at(a, ends[2 * link]), at(b, ends[2 * link + 1])), glyphs.linkRadius);
        return best;
    }

    // --- what clicks and keys change -----------------------------------------------------------------------------

    let controlPanel = null;
    function update() {
        linkUniforms.cutoff.value = state.cutoff;
        linkUniforms.regionFilter.value = regionBit(state.region);
        lightChanged = true;
        corner.textContent = describeView();
        wanted = true;
        if (controlPanel)
            controlPanel.follow();
    }
    function pick(found) {
        // A pick of its own, or of nothing, puts the paths away, until \ brings them back.
        state.paths.shown = false;
        state.pick = found;
        showLinks();
        if (figureStyle || (found.kind === 'site' && siteCount > labelBudget))
            chooseLabels();
        update();
    }

    let press = null;
    canvas.addEventListener('pointerdown', (event) => {
        if (state.message) {
            state.message = '';
            update();
        }
        press = event.button === 0 ? {x: event.clientX, y: event.clientY} : null;
    });
    canvas.addEventListener('pointerup', (event) => {
        if (!press || event.button !== 0 || Math.hypot(event.clientX - press.x, event.clientY - press.y) > 4)
            return;
        const rect = canvas.getBoundingClientRect();
        pick(under(event.clientX - rect.left, event.clientY - rect.top));
    });
    // Where the pointer rests on a site or a link, a tooltip gives the corner's line for it.
    const tooltip = document.getElementById('tooltip');
    let hover = null;
    function showTooltip() {
        const at = hover;
        hover = null;
        if (moving || at === null) {
            tooltip.style.display = 'none';
            return;
        }
        const rect = canvas.getBoundingClientRect();
        const text = describePick(under(at.x - rect.left, at.y - rect.top));
        tooltip.textContent = text;
        tooltip.style.display = text === '' ? 'none' : 'block';
        tooltip.style.left = Math.min(at.x + 14, window.innerWidth - tooltip.offsetWidth - 4) + 'px';
        tooltip.style.top = Math.min(at.y + 18, window.innerHeight - tooltip.offsetHeight - 4) + 'px';
    }
    canvas.addEventListener('pointermove', (event) => {
        if (event.buttons !== 0) {
            tooltip.style.display = 'none';
            return;
        }
        if (hover === null)
            requestAnimationFrame(showTooltip);
        hover = {x: event.clientX, y: event.clientY};
    });
    canvas.addEventListener('pointerleave', () => { tooltip.style.display = 'none'; });

    // Turns the view round the middle of two sites (or one), at the same distance.
    function centreBetween(a, b) {
        const centre = new THREE.Vector3((positions[3 * a] + positions[3 * b]) / 2, (positions[3 * a + 1] + positions[3 * b + 1]) / 2,
                                         (positions[3 * a + 2] + positions[3 * b + 2]) / 2);
        camera.position.add(centre.clone().sub(controls.target));
        controls.target.copy(centre);
        wanted = true;
        wantLabels();
    }
    // A double click turns the view round what it falls on.
    canvas.addEventListener('dblclick', (event) => {
        const rect = canvas.getBoundingClientRect();
        const found = under(event.clientX - rect.left, event.clientY - rect.top);
        if (found.kind === '')
            return;
        centreBetween(found.kind === 'site' ? found.index : ends[2 * found.index],
                      found.kind === 'site' ? found.index : ends[2 * found.index + 1]);
    });
    document.getElementById('sites').addEventListener('click', (event) => {
        const item = event.target.closest('li');
        if (item)
            pick({kind: 'site', index: Number(item.dataset.site)});
    });

    // ] and [ show one path at a time, from the shortest, stopping at either end; \ shows them all again, and
    // brings them back after a click put them away.
    function showPaths(one) {
        state.paths = {shown: true, one};
        state.pick = {kind: '', index: 0};
        showLinks();
        if (figureStyle)
            chooseLabels();
        for (const item of document.querySelectorAll('#paths li'))
            item.classList.toggle('chosen', Number(item.dataset.path) === one);
    }
    function stepPath(step) {
        if (pathList.length === 0)
            return;
        const at = state.paths.shown && state.paths.one !== null ? state.paths.one + step : step > 0 ? 0 : pathList.length - 1;
        showPaths(Math.min(Math.max(at, 0), pathList.length - 1));
    }
    function showAllPaths() {
        if (data.pathLines.length > 0)
            showPaths(null);
    }
    // The paths, listed as standard output lists them; a click on one shows it alone.
    if (pathList.length > 0) {
        const details = document.createElement('details');
        details.id = 'paths';
        const summary = document.createElement('summary');
        summary.textContent = pathList.length + (pathList.length === 1 ? ' path' : ' paths') + ' (] and [ step, \\ all)';
        const list = document.createElement('ol');
        pathList.forEach((path, index) => {
            const item = document.createElement('li');
            item.dataset.path = String(index);
            item.textContent = path.line;
            list.appendChild(item);
        });
        details.append(summary, list);
        document.getElementById('panel').insertBefore(details, document.getElementById('sites'));
        list.addEventListener('click', (event) => {
            const item = event.target.closest('li');
            if (item) {
                showPaths(Number(item.dataset.path));
                update();
            }
        });
    }

    // The cutoff moves in steps of a twentieth, held within 0 and 1, as the window's does.
    function stepCutoff(raise) {
        const steps = raise ? Math.floor(state.cutoff * 20 + 1e-3) + 1 : Math.ceil(state.cutoff * 20 - 1e-3) - 1;
        state.cutoff = Math.fround(Math.min(Math.max(steps, 0), 20) / 20);
    }
    function setRegion(kind) {
        const entry = regionByKind.get(kind);
        if (entry && entry.list === '') {
            state.message = 'No ' + entry.word + ' list was given (' + entry.option + ')';
            return;
        }
        state.region = kind;
    }
    window.addEventListener('keydown', (event) => {
        if (event.ctrlKey || event.altKey || event.metaKey)
            return;
        const key = event.key;
        const entry = data.regions.find((each) => each.key === key);
        state.message = '';
        if (key === '+' || key === '=')
            stepCutoff(true);
        else if (key === '-')
            stepCutoff(false);
        else if (key === '0')
            setRegion(0);
        else if (entry)
            setRegion(entry.kind);
        else if (key === ' ') {
            controls.reset();
            wantLabels();
        } else if (key === ']' || key === '[')
            stepPath(key === ']' ? 1 : -1);
        else if (key === '\\')
            showAllPaths();
        else
            return;
        event.preventDefault();
        update();
    });

    // The full picture at scale times the page's pixels, drawn at once, on the page's own canvas, copied.
    function drawAt(scale) {
        const ratio = renderer.getPixelRatio();
        renderer.setPixelRatio(ratio * scale);
        fitPlanes();
        camera.updateMatrixWorld();
        showLight(false);
        linkGeometry.setDrawRange(0, Infinity);
        renderer.clear();
        renderer.render(scene, camera);
        const copy = document.createElement('canvas');
        copy.width = canvas.width;
        copy.height = canvas.height;
        copy.getContext('2d').drawImage(canvas, 0, 0);
        renderer.setPixelRatio(ratio);
        wanted = true;
        return copy;
    }
    controlPanel = linkmapControls({
        data, state, names,
        setCutoff: (value) => { state.cutoff = Math.fround(Math.min(Math.max(Math.round(value * 20), 0), 20) / 20); },
        setRegion, update,
        pickSite: (site) => pick({kind: 'site', index: site}),
        centreOn: (site) => centreBetween(site, site),
        drawAt,
    });

    resize();
    fitPlanes();
    camera.updateMatrixWorld();
    chooseLabels();
    showLinks();
    update();
    requestAnimationFrame(frame);
    document.body.dataset.ready = 'true';

    // What the tests and the curious may ask of the page: the view's state, and where a site is drawn.
    window.linkmap = {
        state: state,
        siteOnScreen(site) {
            const point = new THREE.Vector3(positions[3 * site], positions[3 * site + 1], positions[3 * site + 2]).project(camera);
            const rect = canvas.getBoundingClientRect();
            return {x: rect.left + (point.x + 1) / 2 * rect.width, y: rect.top + (1 - point.y) / 2 * rect.height};
        },
        siteNamed: (name) => names.indexOf(name),
        save: (scale) => controlPanel.save(scale),
        distance: () => camera.position.distanceTo(controls.target),
        drawn: drawn,
    };
})();
