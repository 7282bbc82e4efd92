// The view model, as the program's: the view's state, the commands that change it (every click, key and
// control comes to one), and present(), all that the page draws of the view. Its texts are the patterns of the
// data's rules, filled as the program fills them, and its keys the program's table; one table of cases holds
// it to the program's view model, word for word.
function linkmapView(data, records) {
    'use strict';
    const {siteCount, linkCount, weights, weightBits, ends, names, kinds, linkRegions, linkStarts, siteLinks} = records;
    const rules = data.rules;
    const pathList = data.paths.list;
    const state = {
        cutoff: Math.fround(data.view.cutoff),
        region: data.view.region,
        pick: data.view.pick,
        // The run's paths, found at its cutoff and filter: whether they show, and which alone, if one does.
        pathsShown: true,
        onePath: null,
        // The find prompt's line, while it is open; what the last command had to say, until the next.
        prompt: '',
        message: '',
    };
    const foundCutoff = Math.fround(data.view.cutoff);
    const foundRegion = data.view.region;
    const regionByKind = new Map(data.regions.map((entry) => [entry.kind, entry]));
    const regionBit = (kind) => (regionByKind.has(kind) ? regionByKind.get(kind).bit : 0);

    // A pattern with each {name} that values names replaced by its value, once, as the program fills it.
    const fill = (name, values) => rules.patterns[name].replace(/\{(\w+)\}/g,
        (whole, key) => (Object.prototype.hasOwnProperty.call(values, key) ? String(values[key]) : whole));

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

    // --- the texts ----------------------------------------------------------------------------------------

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
    const weightText = (link) =>
        data.weightTexts[link] ?? printed(weights[link], rules.weightDigits, (weightBits[link] >>> 31) === 1);
    const cutoffText = (cutoff) => printed(cutoff, rules.cutoffDigits, false);

    function describeSite(site) {
        const residue = data.residues.length > site ? data.residues[site] : '';
        const name = residue !== '' ? fill('siteNamedAt', {name: names[site], residue}) : names[site];
        const entry = regionByKind.get(kinds[site]);
        let text = fill('site', {name, region: entry ? fill('inRegion', entry) : fill('inNoRegion', {})});
        if (data.measures.length > site && data.measures[site] !== '')
            text += fill('siteMeasures', {measures: data.measures[site]});
        const first = linkStarts[site];
        const last = linkStarts[site + 1];
        const count = last - first;
        if (count === 0)
            return text + fill('noLinks', {});
        const strongest = records.strongest[site] < linkCount ? records.strongest[site] : siteLinks[first];
        const shown = state.cutoff > 0 || state.region !== 0 ? fill('linksShown', {shown: countShown(first, last, siteLinks)}) : '';
        return text + fill(count === 1 ? 'oneLink' : 'links', {
            count, shown, weight: weightText(strongest),
            other: names[ends[2 * strongest] === site ? ends[2 * strongest + 1] : ends[2 * strongest]],
        });
    }

    // The corner's line for a site or a link, picked or under the pointer; empty for nothing.
    function describePick(pick) {
        if (pick.kind === 'site' && pick.index < siteCount)
            return describeSite(pick.index);
        if (pick.kind === 'link' && pick.index < linkCount)
            return fill('link', {first: names[ends[2 * pick.index]], second: names[ends[2 * pick.index + 1]],
                                 weight: weightText(pick.index)});
        return '';
    }

    // The paths shown: all of the run's, or the one alone; none while they are put aside.
    const showsPaths = () => state.pathsShown && pathList.length > 0;
    const shownPaths = () => (!showsPaths() ? [] : state.onePath !== null ? [pathList[state.onePath]] : pathList);

    // The corner's lines, in the program's order.
    function describeView(shown) {
        const lines = [];
        const add = (line) => { if (line !== '') lines.push(line); };
        add(state.prompt);
        add(describePick(state.pick));
        if (state.region !== 0)
            add(fill('regionFilter', {...regionByKind.get(state.region), shown, total: linkCount}));
        if (state.pathsShown && data.pathLines.length > 0) {
            add(data.pathLines[0]);
            if (state.onePath !== null)
                add(pathList[state.onePath].line);
            if (pathList.length > 0 && (state.cutoff !== foundCutoff || state.region !== foundRegion))
                add(data.paths.foundAt);
        }
        add(state.message);
        if (state.cutoff > 0)
            add(fill('cutoff', {cutoff: cutoffText(state.cutoff), shown, total: linkCount}));
        add(data.caption);
        return lines;
    }

    // All the page draws of the view: how many links are shown; the links emphasised, one flag a link, and the
    // sites dimmed, one a site (null when none is); the sites whose labels come first; the corner's lines.
    // The sites whose labels come first, in order: the pick's, then the paths' two ends and their sites.
    function favouredSites() {
        const favoured = [];
        const favour = (site) => { if (site < siteCount && !favoured.includes(site)) favoured.push(site); };
        const pick = state.pick;
        if (pick.kind === 'site' && pick.index < siteCount)
            favour(pick.index);
        else if (pick.kind === 'link' && pick.index < linkCount) {
            favour(ends[2 * pick.index]);
            favour(ends[2 * pick.index + 1]);
        }
        const paths = shownPaths();
        if (paths.length > 0) {
            const sites = pathList[0].sites;
            favour(sites[0]);
            favour(sites[sites.length - 1]);
            paths.forEach((path) => path.sites.forEach(favour));
        }
        return favoured;
    }

    function present() {
        const shown = state.cutoff > 0 || state.region !== 0 ? countShown(0, linkCount) : linkCount;
        const paths = shownPaths();
        let emphasised = null;
        let dimmed = null;
        const pick = state.pick;
        if (paths.length > 0) {
            emphasised = new Uint8Array(linkCount);
            dimmed = new Uint8Array(siteCount).fill(1);
            for (const path of paths) {
                path.links.forEach((link) => { emphasised[link] = 1; });
                path.sites.forEach((site) => { dimmed[site] = 0; });
            }
        } else if (pick.kind === 'site' && pick.index < siteCount) {
            emphasised = new Uint8Array(linkCount);
            for (let i = linkStarts[pick.index]; i < linkStarts[pick.index + 1]; ++i)
                emphasised[siteLinks[i]] = 1;
        } else if (pick.kind === 'link' && pick.index < linkCount) {
            emphasised = new Uint8Array(linkCount);
            emphasised[pick.index] = 1;
        }
        return {shown, emphasised, dimmed, traceDimmed: dimmed !== null, favoured: favouredSites(), paths: paths.length > 0,
                corner: describeView(shown)};
    }

    // --- the commands ---------------------------------------------------------------------------------------

    // The cutoff moves in whole steps of its range's top, held within 0 and the top, as the program's does;
    // its first step up is the first above the weakest link read.
    const steps = rules.cutoffSteps / rules.cutoffTop;
    const heldStep = (step) => Math.fround(Math.min(Math.max(step, 0), rules.cutoffSteps) / steps);
    const weakest = data.view.weakest;
    const aboveWeakest = weakest > 0 && weakest < rules.cutoffTop ? Math.floor(weakest * steps + 1e-3) + 1 : 0;

    // The find prompt: the sites whose names start with the text typed, in any case of the letters A to Z, or
    // that are numbered by it, as the program's prompt finds them; the place among them of the one picked.
    const finder = {open: false, text: '', matches: [], cursor: -1};
    const lower = (text) => text.replace(/[A-Z]/g, (letter) => letter.toLowerCase());
    function type(text) {
        finder.open = true;
        finder.text = text;
        finder.cursor = -1;
        finder.matches = [];
        const typed = lower(text);
        const number = /^\d{1,9}$/.test(text) ? Number(text) : null;
        if (text !== '')
            names.forEach((name, site) => {
                if (lower(name).startsWith(typed) || (number !== null && name.length > 1 && records.siteNumbers[site] === number))
                    finder.matches.push(site);
            });
    }
    function promptLine() {
        const {text, matches, cursor} = finder;
        const line = 'Find: ' + text;
        if (text === '')
            return line;
        if (matches.length === 0)
            return line + '  (no site matches)';
        if (cursor >= 0)
            return line + '  (' + (cursor + 1) + ' of ' + matches.length + ')';
        return line + '  (' + matches.length + (matches.length === 1 ? ' site matches)' : ' sites match)');
    }
    function closePrompt() {
        finder.open = false;
        state.prompt = '';
    }

    function pick(found) {
        // A pick closes the prompt and puts the paths aside.
        closePrompt();
        state.pathsShown = false;
        const known = (found.kind === 'site' && found.index < siteCount) || (found.kind === 'link' && found.index < linkCount);
        state.pick = known ? found : {kind: '', index: 0};
    }
    function stepPath(step) {
        if (pathList.length === 0)
            return;
        const at = state.pathsShown && state.onePath !== null ? state.onePath + step : step > 0 ? 0 : pathList.length - 1;
        state.onePath = Math.min(Math.max(at, 0), pathList.length - 1);
        state.pathsShown = true;
    }

    // Runs a command, by its word, with what it names; returns what else the page is to do: {quit, home, save,
    // help, centre}.
    const commands = {
        cutoffUp() { state.cutoff = heldStep(Math.max(Math.floor(state.cutoff * steps + 1e-3) + 1, aboveWeakest)); },
        cutoffDown() { state.cutoff = heldStep(Math.ceil(state.cutoff * steps - 1e-3) - 1); },
        cutoffTo(value) { state.cutoff = heldStep(Math.round(value * steps)); },
        region(kind) {
            const entry = regionByKind.get(kind);
            if (entry && entry.list === '')
                state.message = fill('noList', entry);
            else
                state.region = kind;
        },
        pick,
        centre: (site) => (site < siteCount ? {centre: site} : {}),
        pathTo() { state.message = fill('pathsInWindow', {}); },
        pathNext: () => stepPath(1),
        pathPrevious: () => stepPath(-1),
        pathAll() {
            if (pathList.length > 0) {
                state.onePath = null;
                state.pathsShown = true;
            }
        },
        find() {
            type('');
            state.prompt = promptLine();
        },
        findType(text) {
            type(text);
            state.prompt = promptLine();
        },
        findNext() {
            if (!finder.open || finder.matches.length === 0)
                return {};
            finder.cursor = (finder.cursor + 1) % finder.matches.length;
            state.prompt = promptLine();
            const site = finder.matches[finder.cursor];
            state.pathsShown = false;
            state.pick = {kind: 'site', index: site};
            return {centre: site};
        },
        overlay() { state.message = 'The network of communities shows in the window (g)'; },
        home: () => ({home: true}),
        save: () => ({save: true}),
        help: () => ({help: true}),
        back() {
            if (finder.open)
                closePrompt();
            else if (state.pathsShown && data.pathLines.length > 0)
                state.pathsShown = false;
            else if (state.pick.kind !== '')
                state.pick = {kind: '', index: 0};
            else
                return {quit: true};
            return {};
        },
    };
    function run(word, ...args) {
        state.message = '';
        return commands[word](...args) || {};
    }
    // The command of a key, as the table of keys has it, or null for a key of no command.
    function commandOfKey(key) {
        const binding = data.keys.find((each) => each.keys.includes(key));
        return binding ? {word: binding.command, region: binding.region} : null;
    }

    return {state, regionByKind, regionBit, isShown, pathList, describePick, present, favouredSites, cutoffText, fill, run,
            commandOfKey, promptOpen: () => finder.open};
}
