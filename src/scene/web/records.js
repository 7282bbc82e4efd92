// The page's script is these modules, joined in order, each a function of what it uses; page.js, the last,
// calls them. This one: the network's records, out of the base64 of the page's data.
function linkmapRecords(data, names) {
    'use strict';
    function bytesOf(text) {
        const raw = atob(text);
        const bytes = new Uint8Array(raw.length);
        for (let i = 0; i < raw.length; ++i)
            bytes[i] = raw.charCodeAt(i);
        return bytes;
    }
    const floatsOf = (text) => new Float32Array(bytesOf(text).buffer);
    const figureStyle = data.figureStyle;

    const records = {
        bytesOf, floatsOf, names,
        siteCount: data.sites,
        linkCount: data.links,
        positions: floatsOf(data.positions),
        kinds: bytesOf(data.kinds),
        // The number a search finds each site by, as the window's does; the least int for none.
        siteNumbers: new Int32Array(bytesOf(data.siteNumbers).buffer),
        siteColors: data.siteColors ? floatsOf(data.siteColors) : null,
        siteScales: data.siteScales ? floatsOf(data.siteScales) : null,
        ends: new Uint32Array(bytesOf(data.ends).buffer),
        weights: floatsOf(data.weights),
        linkRegions: data.linkRegions ? bytesOf(data.linkRegions) : new Uint8Array(data.links),
        givenEmphasis: data.emphasised ? bytesOf(data.emphasised) : null,
        givenThickness: data.thickness ? floatsOf(data.thickness) : null,
        trace: floatsOf(data.trace),
        labelRanks: figureStyle ? new Uint32Array(bytesOf(figureStyle.labelRanks).buffer) : null,
        dimmedSites: figureStyle && figureStyle.dimmedSites ? bytesOf(figureStyle.dimmedSites) : null,
        // Every site's strongest link, as the program names it in the corner.
        strongest: new Uint32Array(bytesOf(data.strongest).buffer),
    };
    const {siteCount, linkCount, ends} = records;
    records.weightBits = new Uint32Array(records.weights.buffer);
    records.scaleOf = (site) => (records.siteScales ? records.siteScales[site] : 1);

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
    const filled = linkStarts.slice(0, siteCount);
    for (let link = 0; link < linkCount; ++link) {
        siteLinks[filled[ends[2 * link]]++] = link;
        if (ends[2 * link + 1] !== ends[2 * link])
            siteLinks[filled[ends[2 * link + 1]]++] = link;
    }
    records.linkStarts = linkStarts;
    records.siteLinks = siteLinks;

    // How far below its site a label is centred, and where: below its sphere, however large.
    records.labelDrop = (site) => data.glyphs.labelDrop + data.glyphs.siteRadius * (records.scaleOf(site) - 1);
    records.labelAnchor = (site, point) => point.set(records.positions[3 * site],
        records.positions[3 * site + 1] - records.labelDrop(site), records.positions[3 * site + 2]);
    records.sitePoint = (site, point) => point.set(records.positions[3 * site], records.positions[3 * site + 1],
        records.positions[3 * site + 2]);
    return records;
}
