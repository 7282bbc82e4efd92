// The light picture drawn while the view moves, on a large network, as the window draws one: the strongest
// links drawn, as many as the data's budget, as lines in their colours, and the first sites of the even
// spread, as many as their budget.
function linkmapLight(data, records, view, glyphs, stage) {
    'use strict';
    const {siteCount, linkCount, positions, ends, weights, linkRegions} = records;
    const {linkBudget, siteBudget} = data.light;
    const lines = new THREE.LineSegments(new THREE.BufferGeometry(),
        glyphs.material('PageLightLine.vert', 'PageFlat.frag', {uniforms: glyphs.linkUniforms}));
    lines.frustumCulled = false;
    lines.visible = false;
    stage.scene.add(lines);
    let changed = true;

    function makeLines() {
        const strength = new Float32Array(linkCount);
        let shown = 0;
        for (let link = 0; link < linkCount; ++link)
            if (view.isShown(link))
                strength[shown++] = Number.isNaN(weights[link]) ? 0 : Math.abs(weights[link]);
        const sorted = strength.subarray(0, shown).sort();
        const floor = shown > linkBudget ? sorted[shown - linkBudget] : -1;
        const points = [];
        const looks = [];
        const emphasised = [];
        const emphasis = glyphs.emphasisAttribute.array;
        for (let link = 0; link < linkCount && points.length < 6 * linkBudget; ++link) {
            const size = Number.isNaN(weights[link]) ? 0 : Math.abs(weights[link]);
            if (!glyphs.isDrawn(link) || size < floor)
                continue;
            for (let end = 0; end < 2; ++end) {
                const site = ends[2 * link + end];
                points.push(positions[3 * site], positions[3 * site + 1], positions[3 * site + 2]);
                looks.push(weights[link], linkRegions[link], 0, 0);
                emphasised.push(emphasis[4 * link]);
            }
        }
        const geometry = new THREE.BufferGeometry();
        geometry.setAttribute('position', new THREE.Float32BufferAttribute(points, 3));
        geometry.setAttribute('look', new THREE.Float32BufferAttribute(looks, 4));
        geometry.setAttribute('emphasised', new THREE.Float32BufferAttribute(emphasised, 1));
        lines.geometry.dispose();
        lines.geometry = geometry;
        changed = false;
    }
    return {
        // Whether the network is large enough to turn as a light picture.
        used: linkCount + siteCount >= data.light.from,
        // The picture's look changed: its lines are made again when next shown.
        invalidate() { changed = true; },
        // Shows the light picture, or the full one.
        show(light) {
            if (light && changed)
                makeLines();
            lines.visible = light;
            glyphs.cylinders.visible = !light;
            glyphs.sphereGeometry.setDrawRange(0, light ? 6 * Math.min(siteCount, siteBudget) : Infinity);
        },
    };
}
