// The page: it draws the network its data holds with three.js, turns it as the window turns, and writes in the
// corner what the window writes there, for a click, the cutoff keys, the region keys and the paths' keys. It
// puts the modules together and answers the pointer, the keys and the lists.
(function () {
    'use strict';
    const data = JSON.parse(document.getElementById('linkmap-data').textContent);
    const names = Array.from(document.querySelectorAll('#sites li'), (item) => item.textContent);
    const records = linkmapRecords(data, names);
    const view = linkmapView(data, records);
    const stage = linkmapStage(data, records, document.getElementById('scene'));
    const glyphs = linkmapGlyphs(data, records, view, stage);
    const light = linkmapLight(data, records, view, glyphs, stage);
    const labels = linkmapLabels(data, records, view, stage,
        linkmapSight(glyphs, stage, !light.used || records.linkCount <= linkmapLoop.sliceLinks));
    const loop = linkmapLoop(records, stage, glyphs, light, labels);
    const under = linkmapPicking(data, records, view, stage);
    linkmapKey(data);
    const {state, pathList} = view;
    const {camera, canvas, controls} = stage;
    const corner = document.getElementById('corner');

    // --- what clicks, keys and the controls change --------------------------------------------------------

    let controlPanel = null;
    // Shows the state in the picture, the corner and the controls.
    function update() {
        glyphs.filter();
        light.invalidate();
        corner.textContent = view.describeView();
        loop.want();
        if (controlPanel)
            controlPanel.follow();
    }
    // The links' look and emphasis changed: the light picture follows, and the labels are chosen again.
    function restyle() {
        glyphs.showLinks();
        light.invalidate();
        loop.wantLabels();
    }
    function pick(found) {
        // A pick of its own, or of nothing, puts the paths away, until \ brings them back.
        state.paths.shown = false;
        state.pick = found;
        restyle();
        update();
    }
    // Turns the view round the middle of two sites (or one), at the same distance.
    function centreBetween(a, b) {
        const one = records.sitePoint(a, new THREE.Vector3());
        stage.centreOn(one.add(records.sitePoint(b, new THREE.Vector3())).multiplyScalar(0.5));
        loop.want();
        loop.wantLabels();
    }

    let press = null;
    canvas.addEventListener('pointerdown', (event) => {
        if (state.message) {
            state.message = '';
            update();
        }
        press = event.button === 0 ? {x: event.clientX, y: event.clientY} : null;
    });
    const canvasPoint = (event) => {
        const rect = canvas.getBoundingClientRect();
        return [event.clientX - rect.left, event.clientY - rect.top];
    };
    canvas.addEventListener('pointerup', (event) => {
        if (press && event.button === 0 && Math.hypot(event.clientX - press.x, event.clientY - press.y) <= 4)
            pick(under(...canvasPoint(event)));
    });
    // A double click turns the view round what it falls on.
    canvas.addEventListener('dblclick', (event) => {
        const found = under(...canvasPoint(event));
        if (found.kind === 'site')
            centreBetween(found.index, found.index);
        else if (found.kind === 'link')
            centreBetween(records.ends[2 * found.index], records.ends[2 * found.index + 1]);
    });
    // Where the pointer rests on a site or a link, a tooltip gives the corner's line for it.
    const tooltip = document.getElementById('tooltip');
    let hover = null;
    function showTooltip() {
        const at = hover;
        hover = null;
        if (loop.isMoving() || at === null) {
            tooltip.style.display = 'none';
            return;
        }
        const text = view.describePick(under(...canvasPoint({clientX: at.x, clientY: at.y})));
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
    document.getElementById('sites').addEventListener('click', (event) => {
        const item = event.target.closest('li');
        if (item)
            pick({kind: 'site', index: Number(item.dataset.site)});
    });

    // --- the paths ------------------------------------------------------------------------------------------

    // ] and [ show one path at a time, from the shortest, stopping at either end; \ shows them all again, and
    // brings them back after a click put them away.
    function showPaths(one) {
        state.paths = {shown: true, one};
        state.pick = {kind: '', index: 0};
        restyle();
        for (const item of document.querySelectorAll('#paths li'))
            item.classList.toggle('chosen', Number(item.dataset.path) === one);
    }
    function stepPath(step) {
        if (pathList.length === 0)
            return;
        const at = state.paths.shown && state.paths.one !== null ? state.paths.one + step : step > 0 ? 0 : pathList.length - 1;
        showPaths(Math.min(Math.max(at, 0), pathList.length - 1));
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

    // --- the keys -------------------------------------------------------------------------------------------

    window.addEventListener('keydown', (event) => {
        if (event.ctrlKey || event.altKey || event.metaKey)
            return;
        const key = event.key;
        const entry = data.regions.find((each) => each.key === key);
        state.message = '';
        if (key === '+' || key === '=')
            view.stepCutoff(true);
        else if (key === '-')
            view.stepCutoff(false);
        else if (key === '0')
            view.setRegion(0);
        else if (entry)
            view.setRegion(entry.kind);
        else if (key === ' ') {
            controls.reset();
            loop.wantLabels();
        } else if (key === ']' || key === '[')
            stepPath(key === ']' ? 1 : -1);
        else if (key === '\\' && data.pathLines.length > 0)
            showPaths(null);
        else if (key !== '\\')
            return;
        event.preventDefault();
        update();
    });

    controlPanel = linkmapControls({
        data, state, names, update, siteNumbers: records.siteNumbers,
        setCutoff: view.setCutoff, setRegion: view.setRegion, cutoffText: view.cutoffText, fill: view.fill,
        pickSite: (site) => pick({kind: 'site', index: site}),
        centreOn: (site) => centreBetween(site, site),
        drawAt: loop.drawAt,
    });

    // The first frame comes first; the labels are chosen at the next, for the view it shows.
    glyphs.showLinks();
    update();
    loop.wantLabels();
    loop.start();
    document.body.dataset.ready = 'true';

    // What the tests and the curious may ask of the page: the view's state, and where a site is drawn.
    window.linkmap = {
        state: state,
        siteOnScreen(site) {
            const point = records.sitePoint(site, new THREE.Vector3()).project(camera);
            const rect = canvas.getBoundingClientRect();
            return {x: rect.left + (point.x + 1) / 2 * rect.width, y: rect.top + (1 - point.y) / 2 * rect.height};
        },
        siteNamed: (name) => names.indexOf(name),
        save: (scale) => controlPanel.save(scale),
        distance: () => camera.position.distanceTo(controls.target),
        drawn: loop.drawn,
    };
})();
