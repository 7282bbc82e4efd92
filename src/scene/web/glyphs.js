// The glyphs: every site's sphere and every link's cylinder, each a flat quad that its fragments shade as
// what it stands for, all of a kind in one draw (software renderers pay for every instance of an instanced
// draw, and these are a handful of vertices each), and the chain the sites stand on. The shaders are the
// program's, by name, compiled with how a link looks and the window's light.
function linkmapGlyphs(data, records, view, stage) {
    'use strict';
    const {siteCount, linkCount, positions, ends, weights, linkRegions, kinds, siteColors, dimmedSites} = records;
    const {state, regionByKind, regionBit, pathList} = view;
    const glyphs = data.glyphs;
    // A material of the program's shaders: each after how a link looks, and the fragment shader after the
    // light too, both as the program's other pictures have them.
    function material(vertex, fragment, options) {
        const look = data.shaders['LinkLook.glsl'];
        return new THREE.ShaderMaterial(Object.assign({
            vertexShader: look + '\n' + data.shaders['PageNumbers.glsl'] + '\n' + data.shaders[vertex],
            fragmentShader: look + '\n' + data.shaders['PageLighting.glsl'] + '\n' + data.shaders[fragment],
        }, options, {defines: Object.assign({}, options && options.defines)}));
    }
    const background = new THREE.Vector3(...data.background);

    // Quads are two triangles of four corners, at four vertices a glyph.
    function quadIndices(count) {
        const indices = new Uint32Array(6 * count);
        for (let glyph = 0, v = 0; glyph < count; ++glyph, v += 4)
            indices.set([v, v + 1, v + 2, v + 2, v + 1, v + 3], 6 * glyph);
        return new THREE.BufferAttribute(indices, 1);
    }

    // Sites, in an even spread: every k-th first, so that the first of them, as many as the light picture
    // draws while the view moves, stand all over the network. Each also has its number for the picture of
    // numbers: one more than its place. A link's is the next after the sites', up to the most a float holds
    // exactly; a link beyond it is drawn in the picture as nothing, and cannot be picked.
    const siteBudget = data.light.siteBudget;
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
        const numbers = new Float32Array(4 * siteCount);
        const corners = new Float32Array(8 * siteCount);
        const scales = new Float32Array(4 * siteCount);
        const dimmed = new Float32Array(4 * siteCount);
        siteOrder.forEach((site, place) => {
            dimmed.fill(dimmedSites && dimmedSites[site] ? 1 : 0, 4 * place, 4 * place + 4);
            const entry = regionByKind.get(kinds[site]);
            const color = siteColors ? siteColors.subarray(3 * site, 3 * site + 3) : entry ? entry.color : data.noRegionColor;
            for (let corner = 0; corner < 4; ++corner) {
                centres.set(positions.subarray(3 * site, 3 * site + 3), 12 * place + 3 * corner);
                colors.set(color, 12 * place + 3 * corner);
                numbers[4 * place + corner] = site + 1;
                corners.set([corner & 1 ? 1 : -1, corner & 2 ? 1 : -1], 8 * place + 2 * corner);
                scales[4 * place + corner] = records.scaleOf(site);
            }
        });
        sphereGeometry.setAttribute('position', new THREE.BufferAttribute(centres, 3));
        sphereGeometry.setAttribute('tint', new THREE.BufferAttribute(colors, 3));
        sphereGeometry.setAttribute('siteNumber', new THREE.BufferAttribute(numbers, 1));
        sphereGeometry.setAttribute('corner', new THREE.BufferAttribute(corners, 2));
        sphereGeometry.setAttribute('scale', new THREE.BufferAttribute(scales, 1));
        sphereGeometry.setAttribute('dimmed', new THREE.BufferAttribute(dimmed, 1));
        sphereGeometry.setIndex(quadIndices(siteCount));
    }
    const sphereUniforms = {
        radius: {value: glyphs.siteRadius}, projection: {value: stage.camera.projectionMatrix},
        dimming: {value: 0}, background: {value: background},
    };
    const sphereLook = (defines) => material('PageSphere.vert', 'PageSphere.frag',
        {uniforms: sphereUniforms, extensions: {fragDepth: true}, defines});
    const spheres = new THREE.Mesh(sphereGeometry, sphereLook({}));
    spheres.frustumCulled = false;
    // Dims the spheres of the sites dimmed, one flag a site; none when there are none.
    function dimSites(dimmed) {
        const attribute = sphereGeometry.getAttribute('dimmed');
        siteOrder.forEach((site, place) =>
            attribute.array.fill(dimmed && dimmed[site] ? 1 : 0, 4 * place, 4 * place + 4));
        attribute.needsUpdate = true;
    }

    // Links, four vertices a link: its own end, the other, its look and whether it is emphasised.
    const lookAttribute = new THREE.BufferAttribute(new Float32Array(16 * linkCount), 4);
    const emphasisAttribute = new THREE.BufferAttribute(new Float32Array(4 * linkCount), 1);
    const linkGeometry = new THREE.BufferGeometry();
    {
        const here = new Float32Array(12 * linkCount);
        const there = new Float32Array(12 * linkCount);
        const numbers = new Float32Array(4 * linkCount);
        // Plain index arithmetic: at 10^6 links, a subarray a corner would make eight million objects.
        for (let link = 0; link < linkCount; ++link) {
            const number = siteCount + link + 1;
            numbers.fill(number < linkmapGlyphs.mostNumbers ? number : 0, 4 * link, 4 * link + 4);
            for (let corner = 0; corner < 4; ++corner) {
                const end = corner >> 1;
                const near = 3 * ends[2 * link + end];
                const far = 3 * ends[2 * link + 1 - end];
                for (let axis = 0; axis < 3; ++axis) {
                    here[12 * link + 3 * corner + axis] = positions[near + axis];
                    there[12 * link + 3 * corner + axis] = positions[far + axis];
                }
            }
        }
        linkGeometry.setAttribute('position', new THREE.BufferAttribute(here, 3));
        linkGeometry.setAttribute('other', new THREE.BufferAttribute(there, 3));
        linkGeometry.setAttribute('look', lookAttribute);
        linkGeometry.setAttribute('emphasised', emphasisAttribute);
        linkGeometry.setAttribute('linkNumber', new THREE.BufferAttribute(numbers, 1));
        linkGeometry.setIndex(quadIndices(linkCount));
    }
    const linkUniforms = {
        radius: {value: glyphs.linkRadius}, thinnestWeight: {value: glyphs.thinnestWeight},
        weightTop: {value: glyphs.weightTop},
        cutoff: {value: state.cutoff}, regionFilter: {value: regionBit(state.region)},
        emphasis: {value: 0}, keepPaths: {value: 0}, background: {value: background},
    };
    const linkLook = (defines) => material('PageLink.vert', 'PageLink.frag', {uniforms: linkUniforms, side: THREE.DoubleSide, defines});
    const cylinders = new THREE.Mesh(linkGeometry, linkLook({}));
    cylinders.frustumCulled = false;
    stage.scene.add(spheres, cylinders);

    // Each link's look, thickness and emphasis, and each sphere's dimming, as the view presents them: the
    // paths' thickness while they show.
    function showLinks(shown = view.present()) {
        const one = shown.paths && state.onePath !== null ? new Set(pathList[state.onePath].links) : null;
        const look = lookAttribute.array;
        const emphasised = emphasisAttribute.array;
        emphasised.fill(0);
        for (let link = 0; link < linkCount; ++link) {
            const thickness = one ? (one.has(link) ? data.paths.onePathThickness : 1)
                : shown.paths && records.givenThickness ? records.givenThickness[link] : 1;
            for (let corner = 0, at = 16 * link; corner < 4; ++corner, at += 4) {
                look[at] = weights[link];
                look[at + 1] = linkRegions[link];
                look[at + 2] = corner & 1 ? thickness : -thickness;
                look[at + 3] = corner >> 1;
            }
            if (shown.emphasised && shown.emphasised[link])
                emphasised.fill(1, 4 * link, 4 * link + 4);
        }
        linkUniforms.emphasis.value = shown.emphasised ? 1 : 0;
        linkUniforms.keepPaths.value = shown.paths ? 1 : 0;
        sphereUniforms.dimming.value = shown.dimmed ? 1 : 0;
        tubeUniforms.dimming.value = shown.traceDimmed ? 1 : 0;
        if (dimmedSites)
            dimSites(shown.dimmed);
        lookAttribute.needsUpdate = true;
        emphasisAttribute.needsUpdate = true;
    }
    // Whether a link is drawn: shown by the filter, or on a path that stays drawn under it.
    const isDrawn = (link) => view.isShown(link) || (linkUniforms.keepPaths.value > 0 && emphasisAttribute.array[4 * link] > 0);
    // The filter's uniforms, from the state.
    function filter() {
        linkUniforms.cutoff.value = state.cutoff;
        linkUniforms.regionFilter.value = regionBit(state.region);
    }

    // The chain the sites stand on: lines beneath them, grey or in the colours of the sites along it; in a
    // figure, the tube the program made, lit as the spheres are.
    const tube = data.figureStyle && data.figureStyle.traceTube;
    const tubeUniforms = {dimming: {value: 0}, background: {value: background}};
    if (tube) {
        const geometry = new THREE.BufferGeometry();
        geometry.setAttribute('position', new THREE.BufferAttribute(records.floatsOf(tube.points), 3));
        geometry.setAttribute('normal', new THREE.BufferAttribute(records.floatsOf(tube.normals), 3));
        geometry.setAttribute('tint', new THREE.BufferAttribute(records.floatsOf(tube.colors), 3));
        geometry.setIndex(new THREE.BufferAttribute(new Uint32Array(records.bytesOf(tube.triangles).buffer), 1));
        stage.scene.add(new THREE.Mesh(geometry, material('PageTube.vert', 'PageTube.frag', {uniforms: tubeUniforms})));
    } else if (records.trace.length > 0) {
        const geometry = new THREE.BufferGeometry();
        geometry.setAttribute('position', new THREE.BufferAttribute(records.trace, 3));
        const colored = data.traceColors !== '';
        if (colored)
            geometry.setAttribute('color', new THREE.BufferAttribute(records.floatsOf(data.traceColors), 3));
        stage.scene.add(new THREE.LineSegments(geometry, colored ? new THREE.LineBasicMaterial({vertexColors: THREE.VertexColors})
            : new THREE.LineBasicMaterial({color: new THREE.Color(...data.traceColor)})));
    }

    return {material, spheres, cylinders, sphereGeometry, linkGeometry, linkUniforms, emphasisAttribute, siteOrder,
            sphereLook, linkLook, showLinks, isDrawn, filter};
}
// The glyphs' numbers in the picture of numbers are below this: three bytes of colour, and whole numbers a float
// holds exactly.
linkmapGlyphs.mostNumbers = 1 << 24;
