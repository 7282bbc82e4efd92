// The page's on-screen controls, for a pointer or a finger: the cutoff in the steps + and - take; the
// region filter, as 0 to 3 set it; a search box, the window's find prompt, that counts the matches as they are
// typed and picks and centres one at Enter; PNG buttons that save what the page shows, labels, key and corner
// included; and a toggle of the help. Each runs a command of the view model. The page hands in:
//   page.data, page.state     the page's data and the view's state
//   page.run(word, ...)       runs a command of the view model and shows the view it leaves
//   page.cutoffText(value)    a cutoff as the corner writes it
//   page.fill(name, values)   the rules' pattern of that name, filled
//   page.drawAt(scale)        draws the picture at scale times the page's pixels, and returns the canvas
// It returns what the page calls after every change of the state, to keep the controls in step.
function linkmapControls(page) {
    'use strict';
    const {data, state} = page;
    const panel = document.getElementById('controls');
    const element = (tag, properties, parent) => parent.appendChild(Object.assign(document.createElement(tag), properties));

    // --- the cutoff --------------------------------------------------------------------------------------
    const cutoffRow = element('label', {className: 'control-row'}, panel);
    const cutoffText = element('span', {}, cutoffRow);
    const steps = data.rules.cutoffSteps;
    const cutoff = element('input', {type: 'range', min: 0, max: steps, step: 1, id: 'cutoff-slider'}, cutoffRow);
    cutoff.setAttribute('aria-label', 'Cutoff on |weight|');
    cutoff.addEventListener('input', () => page.run('cutoffTo', Number(cutoff.value) * data.rules.cutoffTop / steps));

    // --- the region filter: every region, and each kind, as the keys name them -------------------------------
    const regionRow = element('div', {className: 'control-row', id: 'region-buttons'}, panel);
    const regionButtons = [{kind: 0, word: 'all', key: '0', list: ''}, ...data.regions].map((entry) => {
        const button = element('button', {type: 'button', textContent: entry.word, title: entry.list ?
            entry.list + ' (' + entry.key + ')' : entry.kind === 0 ? 'every link (0)' : page.fill('noList', entry)}, regionRow);
        button.dataset.kind = String(entry.kind);
        button.addEventListener('click', () => page.run('region', entry.kind));
        return button;
    });

    // --- the search: the find prompt, its line in the corner as it is typed; Enter picks and centres the
    // next match and gives the keys back to the picture, as Escape does, closing it -----------------------------
    const search = element('input', {type: 'search', id: 'site-search', placeholder: 'Find a site', autocomplete: 'off'}, panel);
    search.setAttribute('aria-label', 'Find a site by its name or number');
    search.addEventListener('input', () => page.run('findType', search.value));
    search.addEventListener('keydown', (event) => {
        // What is typed is the box's, not the keys' of the picture.
        event.stopPropagation();
        if (event.key === 'Enter' || event.key === 'Escape') {
            event.preventDefault();
            page.run(event.key === 'Enter' ? 'findNext' : 'back');
            search.blur();
        }
    });

    // --- saving what the page shows ----------------------------------------------------------------------
    function save(scale) {
        const picture = page.drawAt(scale);
        const image = document.createElement('canvas');
        image.width = picture.width;
        image.height = picture.height;
        const context = image.getContext('2d');
        context.drawImage(picture, 0, 0);
        // The labels, the key and the corner are the page's text: drawn where they stand, as they look.
        const ratio = image.width / window.innerWidth;
        context.scale(ratio, ratio);
        for (const node of document.querySelectorAll('#labels .label, #key .key-text, #corner')) {
            const style = getComputedStyle(node);
            if (style.display === 'none' || style.visibility === 'hidden')
                continue;
            // A label stands scaled by its transform: its box is the text's, its font size the one it was given.
            const box = node.getBoundingClientRect();
            const size = parseFloat(style.fontSize) * Number(node.dataset.scale || 1);
            context.font = size + 'px ' + style.fontFamily;
            context.textBaseline = 'top';
            context.fillStyle = style.color;
            const lines = node.textContent.split('\n');
            const height = (parseFloat(style.lineHeight) || parseFloat(style.fontSize)) * Number(node.dataset.scale || 1);
            lines.forEach((line, i) => {
                if (style.textShadow !== 'none') {
                    context.lineWidth = size * (data.figureStyle ? 2 * data.figureStyle.haloWidth : 0);
                    context.strokeStyle = style.textShadow.match(/rgba?\([^)]*\)/)[0];
                    context.lineJoin = 'round';
                    context.strokeText(line, box.left, box.top + i * height);
                }
                context.fillText(line, box.left, box.top + i * height);
            });
        }
        // The key's boxes, the bar's colours through the stops the program gives.
        const css = (color) => 'rgb(' + color.map((c) => Math.round(255 * Math.min(Math.max(c, 0), 1))).join(',') + ')';
        const keyBoxes = document.querySelectorAll('#key .key-box');
        keyBoxes.forEach((node, index) => {
            const box = node.getBoundingClientRect();
            context.fillStyle = getComputedStyle(node).backgroundColor;
            if (index === 0 && data.key) {
                const fill = context.createLinearGradient(box.left, 0, box.right, 0);
                data.key.barStops.forEach((stop) => fill.addColorStop(stop.share, css(stop.color)));
                context.fillStyle = fill;
            }
            context.fillRect(box.left, box.top, box.width, box.height);
        });
        const link = document.createElement('a');
        link.download = document.title.replace(/^linkmap: /, '').replace(/[^\w.-]+/g, '_') + (scale > 1 ? '@2x' : '') + '.png';
        link.href = image.toDataURL('image/png');
        link.click();
        return {width: image.width, height: image.height};
    }
    const saveRow = element('div', {className: 'control-row'}, panel);
    for (const [text, scale] of [['PNG', 1], ['PNG 2\u00d7', 2]])
        element('button', {type: 'button', textContent: text, title: 'Save what the page shows, at ' + scale + '\u00d7 its size'}, saveRow)
            .addEventListener('click', () => save(scale));

    // --- the help ----------------------------------------------------------------------------------------
    // The controls, the help and the lists stand on a backdrop of the page's own colour, so that they read
    // over the picture.
    const help = document.getElementById('panel');
    const backdrop = 'rgba(' + data.background.map((channel) => Math.round(255 * channel)).join(',') + ',0.85)';
    help.style.background = backdrop;
    panel.style.background = backdrop;
    document.getElementById('tooltip').style.background = backdrop;
    element('button', {type: 'button', textContent: '?', title: 'Show or hide the help and the list of sites', id: 'help-toggle'}, saveRow)
        .addEventListener('click', () => help.classList.toggle('hidden'));

    // Keeps the controls in step with the state, whatever changed it.
    function follow() {
        cutoff.value = String(Math.round(state.cutoff * steps / data.rules.cutoffTop));
        cutoffText.textContent = 'Cutoff ' + page.cutoffText(state.cutoff);
        for (const button of regionButtons)
            button.classList.toggle('chosen', Number(button.dataset.kind) === state.region);
        // A prompt closed by a pick or Escape leaves the box empty.
        if (!page.promptOpen() && document.activeElement !== search)
            search.value = '';
    }
    follow();
    return {follow, save};
}
