// The page: it draws the network its data holds with three.js and turns it as the window turns. A thin front end
// to the view model: it puts the modules together, turns the pointer, the keys, the lists and the controls into
// the model's commands, and shows what the model presents.
(function () {
    'use strict';
    const data = JSON.parse(document.getElementById('linkmap-data').textContent);
    const names = Array.from(document.querySelectorAll('#sites li'), (item) => item.textContent);
    const records = linkmapRecords(data, names);
    const view = linkmapView(data, records);
    const stage = linkmapStage(data, records, document.getElementById('scene'));
    const glyphs = linkmapGlyphs(data, records, view, stage);
    const light = linkmapLight(data, records, view, glyphs, stage);
    const sight = linkmapSight(data, records, glyphs, stage, !light.used || records.linkCount <= linkmapLoop.sliceLinks);
    const labels = linkmapLabels(data, records, view, stage, sight);
    const loop = linkmapLoop(records, stage, glyphs, light, labels);
    const under = sight.under;
    linkmapKey(data);
    const {state, pathList} = view;
    const {camera, canvas, controls} = stage;
    const corner = document.getElementById('corner');

    // --- commands in, the view presented out ---------------------------------------------------------------

    let controlPanel = null;
    const help = document.getElementById('panel');
    // Runs a command of the view model and shows the view it leaves: the links' look and emphasis, the
    // spheres' dimming, the labels, the corner, the controls; then does what else it asks of the page.
    function run(word, ...args) {
        const effect = view.run(word, ...args);
        show();
        if (effect.centre !== undefined)
            centreBetween(effect.centre, effect.centre);
        if (effect.home) {
            controls.reset();
            loop.wantLabels();
        }
        if (effect.help)
            help.classList.toggle('hidden');
        return effect;
    }
    function show() {
        const shown = view.present();
        glyphs.filter();
        glyphs.showLinks(shown);
        light.invalidate();
        corner.textContent = shown.corner.join('\n');
        loop.want();
        loop.wantLabels();
        if (controlPanel)
            controlPanel.follow();
        for (const item of document.querySelectorAll('#paths li'))
            item.classList.toggle('chosen', state.pathsShown && Number(item.dataset.path) === state.onePath);
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
        // The picture takes the keys back from the search box.
        if (document.activeElement && document.activeElement !== document.body)
            document.activeElement.blur();
        press = event.button === 0 ? {x: event.clientX, y: event.clientY} : null;
    });
    const canvasPoint = (event) => {
        const rect = canvas.getBoundingClientRect();
        return [event.clientX - rect.left, event.clientY - rect.top];
    };
    canvas.addEventListener('pointerup', (event) => {
        if (press && event.button === 0 && Math.hypot(event.clientX - press.x, event.clientY - press.y) <= 4)
            run('pick', under(...canvasPoint(event)));
    });
    // A double click turns the view round what it falls on.
    canvas.addEventListener('dblclick', (event) => {
        const found = under(...canvasPoint(event));
        if (found.kind === 'site')
            run('centre', found.index);
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
            run('pick', {kind: 'site', index: Number(item.dataset.site)});
    });

    // The paths, listed as standard output lists them; a click on one shows it alone, as ] and [ step to it.
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
        help.insertBefore(details, document.getElementById('sites'));
        list.addEventListener('click', (event) => {
            const item = event.target.closest('li');
            if (!item)
                return;
            // The path alone, as ] steps to it from all of them.
            view.run('pathAll');
            for (let step = 0; step < Number(item.dataset.path); ++step)
                view.run('pathNext');
            run('pathNext');
        });
    }

    // The keys, by the program's table: each a command, as in the window.
    window.addEventListener('keydown', (event) => {
        if (event.ctrlKey || event.altKey || event.metaKey)
            return;
        const command = view.commandOfKey(event.key);
        if (command === null)
            return;
        event.preventDefault();
        run(command.word, command.word === 'region' ? command.region : undefined);
    });

    controlPanel = linkmapControls({
        data, state, names, run, cutoffText: view.cutoffText, fill: view.fill, promptOpen: view.promptOpen,
        drawAt: loop.drawAt,
    });

    // The corner wraps short of the controls, however narrow the page.
    function fitCorner() {
        const controlsLeft = document.getElementById('controls').getBoundingClientRect().left;
        corner.style.maxWidth = Math.max(controlsLeft - corner.getBoundingClientRect().left - 12, 80) + 'px';
    }
    fitCorner();
    window.addEventListener('resize', fitCorner);
    // The first view leaves the controls and the help free, and a little round them.
    const canvasBox = canvas.getBoundingClientRect();
    stage.leaveFree([document.getElementById('controls'), help]
        .filter((element) => element.getClientRects().length > 0).map((element) => element.getBoundingClientRect())
        .map((box) => ({left: box.left - canvasBox.left - 8, top: box.top - canvasBox.top - 8, bottom: box.bottom - canvasBox.top + 8})));

    // The first frame comes first; the labels are chosen at the next, for the view it shows.
    show();
    loop.start();
    document.body.dataset.ready = 'true';

    // What the tests and the curious may ask of the page: the view's state, and where a site is drawn.
    window.linkmap = {
        state: state,
        siteOnScreen(site) {
            const place = stage.onCanvas(records.sitePoint(site, new THREE.Vector3()), {});
            const rect = canvas.getBoundingClientRect();
            return {x: rect.left + place.x, y: rect.top + place.y,
                    radius: data.glyphs.siteRadius * records.scaleOf(site) * stage.pixelsPerUnit(place.depth)};
        },
        siteNamed: (name) => names.indexOf(name),
        nameOf: (site) => names[site],
        linkEnds: () => Array.from(records.ends),
        save: (scale) => controlPanel.save(scale),
        distance: () => camera.position.distanceTo(controls.target),
        drawn: loop.drawn,
        // A command of the view model, by its word, as a key or a control runs it; and what the view presents,
        // by the sites' and links' names, as the table of cases has it.
        command: (word, ...args) => run(word, ...args),
        present() {
            const shown = view.present();
            const linkName = (link) => names[records.ends[2 * link]] + ' ' + names[records.ends[2 * link + 1]];
            const flagged = (flags, count, name) => (flags ? [...Array(count).keys()].filter((i) => flags[i]).map(name) : []);
            return {
                corner: shown.corner, shown: shown.shown,
                emphasised: flagged(shown.emphasised, records.linkCount, linkName),
                dimmed: flagged(shown.dimmed, records.siteCount, (site) => names[site]),
                traceDimmed: shown.traceDimmed,
                favoured: shown.favoured.map((site) => names[site]),
            };
        },
    };
})();
