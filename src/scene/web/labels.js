// Labels: the sites' names as the page's text over the picture. They are chosen when the view comes to rest,
// among the sites in the frame that the eye sees (not hidden behind nearer glyphs), and kept apart; while the
// view moves, those chosen follow their sites by their transforms alone, which ask the browser for no layout.
// All of a small network's seen sites are labelled; of a large one, or of a figure, each is kept unless it
// would overlap one kept before it: the favoured first (the pick, the paths' sites), then the more central
// in a figure, or the nearest of each part of the frame in a plain picture, then the nearer. None covers the
// key, the corner, the controls or the panel.
function linkmapLabels(data, records, view, stage, sight) {
    'use strict';
    const {siteCount, names} = records;
    const {camera, canvas} = stage;
    const figureStyle = data.figureStyle;
    const glyphs = data.glyphs;
    const labelBudget = data.labelBudget;
    const layer = document.getElementById('labels');
    const note = document.getElementById('label-note');
    let labelled = [];
    const nodes = new Map();
    const anchor = new THREE.Vector3();
    const place = {x: 0, y: 0, depth: 0};

    // Each name's width at a height of 1, measured once, in the labels' font.
    let measure = null;
    const widths = new Map();
    function textWidth(site) {
        let width = widths.get(site);
        if (width === undefined) {
            if (measure === null) {
                measure = document.createElement('canvas').getContext('2d');
                measure.font = '100px ' + getComputedStyle(layer).fontFamily;
            }
            width = measure.measureText(names[site]).width / 100;
            widths.set(site, width);
        }
        return width;
    }
    // A figure's labels are outlined in the background's colour.
    if (figureStyle) {
        const halo = 'rgb(' + data.background.map((channel) => Math.round(255 * channel)).join(',') + ')';
        const reach = figureStyle.haloWidth;
        layer.style.textShadow = [[1, 0], [-1, 0], [0, 1], [0, -1], [0.7, 0.7], [-0.7, 0.7], [0.7, -0.7], [-0.7, -0.7]]
            .map(([x, y]) => (x * reach).toFixed(3) + 'em ' + (y * reach).toFixed(3) + 'em 0 ' + halo).join(',');
    }

    // The sites favoured, in the order the view presents them: the pick's, then the paths' ends and sites.
    function favoured() {
        return new Map(view.favouredSites().map((site, place) => [site, place]));
    }

    // Every site in the frame that the eye sees, with its label's box on the canvas. Plain arithmetic on the
    // camera's matrices: a network of 10^5 sites asks this of every one at every rest.
    function candidates() {
        sight.look();
        const order = favoured();
        const found = [];
        const view = camera.matrixWorldInverse.elements;
        const clip = new THREE.Matrix4().multiplyMatrices(camera.projectionMatrix, camera.matrixWorldInverse).elements;
        const width = canvas.clientWidth;
        const height = canvas.clientHeight;
        const unitPixels = stage.pixelsPerUnit(1);
        const positions = records.positions;
        for (let site = 0; site < siteCount; ++site) {
            const x = positions[3 * site];
            const z = positions[3 * site + 2];
            const drop = records.labelDrop(site);
            // The label's anchor, below the site, must stand in the frame, and the site before the eye.
            const y = positions[3 * site + 1] - drop;
            const depth = -(view[2] * x + view[6] * y + view[10] * z + view[14]);
            const w = clip[3] * x + clip[7] * y + clip[11] * z + clip[15];
            const across = (clip[0] * x + clip[4] * y + clip[8] * z + clip[12]) / w;
            const up = (clip[1] * x + clip[5] * y + clip[9] * z + clip[13]) / w;
            if (!(depth > camera.near && depth < camera.far && Math.abs(across) <= 1 && Math.abs(up) <= 1))
                continue;
            // The site's own centre, and whether the eye sees its sphere there.
            const siteW = w + clip[7] * drop;
            const siteX = ((clip[0] * x + clip[4] * (y + drop) + clip[8] * z + clip[12]) / siteW + 1) / 2 * width;
            const siteY = (1 - (clip[1] * x + clip[5] * (y + drop) + clip[9] * z + clip[13]) / siteW) / 2 * height;
            const siteDepth = depth - view[6] * drop;
            if (!(siteDepth > camera.near) || !sight.sees(site, siteX, siteY, glyphs.siteRadius * records.scaleOf(site) * unitPixels / siteDepth))
                continue;
            const size = glyphs.labelHeight * unitPixels / depth;
            const padding = (figureStyle ? figureStyle.haloWidth * size : 0) + 1;
            found.push({
                site, depth, x: (across + 1) / 2 * width, y: (1 - up) / 2 * height, size,
                halfWidth: textWidth(site) * size / 2 + padding, halfHeight: size / 2 + padding,
                tier: order.has(site) ? order.get(site) : order.size, rank: figureStyle ? records.labelRanks[site] : 0,
            });
        }
        if (!figureStyle)
            spreadOver(found, width, height);
        found.sort((a, b) => a.tier - b.tier || a.rank - b.rank || a.depth - b.depth || a.site - b.site);
        return found;
    }

    // Ranks the labels of a plain picture so that they stand over the whole frame, not along its nearest
    // edge: the frame is cut into as many cells as labels may show, and each cell's nearest label comes
    // before any cell's second nearest.
    function spreadOver(found, width, height) {
        const columns = Math.max(1, Math.ceil(Math.sqrt(labelBudget * width / Math.max(height, 1))));
        const rows = Math.max(1, Math.ceil(labelBudget / columns));
        const cellOf = (label) => Math.min(rows - 1, Math.max(0, Math.floor(label.y / height * rows))) * columns +
            Math.min(columns - 1, Math.max(0, Math.floor(label.x / width * columns)));
        found.forEach((label) => { label.cell = cellOf(label); });
        found.sort((a, b) => a.cell - b.cell || a.depth - b.depth || a.site - b.site);
        for (let i = 0; i < found.length; ++i)
            found[i].rank = i > 0 && found[i - 1].cell === found[i].cell ? found[i - 1].rank + 1 : 0;
    }

    // Of the boxes in order, as many as the budget that overlap none of the page's own text nor, kept apart,
    // any kept before them. Each box kept is filed in every cell of a grid its box touches; two boxes that
    // overlap share one.
    function keepApart(boxes, apart) {
        const cell = boxes.reduce((most, each) => Math.max(most, 2 * each.halfWidth, 2 * each.halfHeight), 1);
        const cells = new Map();
        const kept = [];
        const span = (box, each) => {
            for (let column = Math.floor((box.x - box.halfWidth) / cell); column <= Math.floor((box.x + box.halfWidth) / cell); ++column)
                for (let row = Math.floor((box.y - box.halfHeight) / cell); row <= Math.floor((box.y + box.halfHeight) / cell); ++row)
                    if (each(column + ',' + row) === false)
                        return false;
            return true;
        };
        const file = (box) => span(box, (key) => { cells.has(key) ? cells.get(key).push(box) : cells.set(key, [box]); });
        const free = (box) => span(box, (key) => (cells.get(key) || []).every((other) =>
            !(Math.abs(box.x - other.x) < box.halfWidth + other.halfWidth && Math.abs(box.y - other.y) < box.halfHeight + other.halfHeight)));
        const canvasBox = canvas.getBoundingClientRect();
        for (const node of document.querySelectorAll('#key > *, #corner, #controls, #panel')) {
            const box = node.getBoundingClientRect();
            if ((box.width > 0 && box.height > 0 && node.textContent !== '') || node.classList.contains('key-box'))
                file({x: (box.left + box.right) / 2 - canvasBox.left, y: (box.top + box.bottom) / 2 - canvasBox.top,
                      halfWidth: box.width / 2, halfHeight: box.height / 2});
        }
        for (const box of boxes) {
            if (kept.length >= labelBudget)
                break;
            if (free(box)) {
                kept.push(box);
                if (apart)
                    file(box);
            }
        }
        return kept;
    }

    // The note, as long as it will be, from the start: the labels keep clear of the panel it is in, and the first
    // view leaves the panel free.
    const count = siteCount.toLocaleString('en');
    const noteOf = (shown) => (figureStyle
        ? 'Labels: the ' + shown + ' of ' + count + ' sites whose names do not overlap, those picked, on a path or more central first; they are chosen again when the view comes to rest.'
        : 'Labels: ' + shown + ' of ' + count + ' sites, over the whole view, the nearest the eye first, whose names do not overlap; they are chosen again when the view comes to rest. Every name is in the list below.');
    const apart = figureStyle || siteCount > labelBudget;
    note.textContent = apart ? noteOf(count) : '';

    function choose() {
        note.textContent = apart ? noteOf(count) : '';
        const found = candidates();
        const chosen = keepApart(found, apart);
        if (apart)
            note.textContent = noteOf(chosen.length);
        const keep = new Set(chosen.map((label) => label.site));
        for (const [site, node] of nodes)
            if (!keep.has(site)) {
                node.remove();
                nodes.delete(site);
            }
        // Each label's size is set once, now; as the view moves, its transform scales it.
        for (const label of chosen) {
            let node = nodes.get(label.site);
            if (!node) {
                node = document.createElement('div');
                node.className = 'label';
                node.textContent = names[label.site];
                layer.appendChild(node);
                nodes.set(label.site, node);
            }
            node.style.fontSize = label.size.toFixed(2) + 'px';
            node.dataset.size = String(label.size);
        }
        labelled = chosen.map((label) => [label.site, nodes.get(label.site), label.size]);
        // How often the labels were chosen, for whoever waits for a new choice.
        document.body.dataset.labelChoices = String(Number(document.body.dataset.labelChoices || 0) + 1);
    }

    // Moves every label chosen to where its site now stands, scaled as its distance from the eye now asks.
    function placeAll() {
        for (const [site, node, size] of labelled) {
            stage.onCanvas(records.labelAnchor(site, anchor), place);
            if (place.depth <= camera.near) {
                node.style.visibility = 'hidden';
                continue;
            }
            const scale = glyphs.labelHeight * stage.pixelsPerUnit(place.depth) / size;
            node.style.visibility = '';
            node.dataset.scale = String(scale);
            node.style.transform = 'translate(' + place.x.toFixed(1) + 'px,' + place.y.toFixed(1) + 'px) scale(' +
                scale.toFixed(4) + ') translate(-50%,-50%)';
        }
    }
    return {choose, place: placeAll};
}
