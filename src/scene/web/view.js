// The view's state, as the window keeps it, and the corner's text, word for word the window's: every text is
// a pattern of the data's rules, filled here as the program fills it.
function linkmapView(data, records) {
    'use strict';
    const {siteCount, linkCount, weights, weightBits, ends, names, kinds, linkRegions, linkStarts, siteLinks} = records;
    const rules = data.rules;
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

    function describeView() {
        const lines = [];
        if (describePick(state.pick) !== '')
            lines.push(describePick(state.pick));
        const shown = state.cutoff > 0 || state.region !== 0 ? countShown(0, linkCount) : linkCount;
        if (state.region !== 0)
            lines.push(fill('regionFilter', {...regionByKind.get(state.region), shown, total: linkCount}));
        lines.push(...pathLines());
        if (state.message)
            lines.push(state.message);
        if (state.cutoff > 0)
            lines.push(fill('cutoff', {cutoff: cutoffText(state.cutoff), shown, total: linkCount}));
        if (data.caption)
            lines.push(data.caption);
        return lines.join('\n');
    }

    // The cutoff moves in whole steps of its range's top, held within 0 and the top, as the window's does.
    const steps = rules.cutoffSteps / rules.cutoffTop;
    const heldStep = (step) => Math.fround(Math.min(Math.max(step, 0), rules.cutoffSteps) / steps);
    function stepCutoff(raise) {
        state.cutoff = heldStep(raise ? Math.floor(state.cutoff * steps + 1e-3) + 1 : Math.ceil(state.cutoff * steps - 1e-3) - 1);
    }
    const setCutoff = (value) => { state.cutoff = heldStep(Math.round(value * steps)); };
    function setRegion(kind) {
        const entry = regionByKind.get(kind);
        if (entry && entry.list === '') {
            state.message = fill('noList', entry);
            return;
        }
        state.region = kind;
    }

    return {state, regionByKind, regionBit, isShown, pathList, describePick, describeView, cutoffText, fill,
            stepCutoff, setCutoff, setRegion};
}
