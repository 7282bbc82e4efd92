// The table of cases of exploring, replayed in the page through its view model: the same cases the program's
// view model passes, with the page each case's settings write. Cases of what only the window does (its
// searches for paths, the network of communities) are the program's alone.
import assert from 'node:assert/strict';
import {after, before, test} from 'node:test';
import fs from 'node:fs';
import path from 'node:path';
import {examples, openBrowser, openPage, write} from './support.mjs';

const cases = JSON.parse(fs.readFileSync(new URL('../view/cases.json', import.meta.url), 'utf8'));

let browser;
before(async () => { browser = await openBrowser(); });
after(async () => { await browser.close(); });

// The page of a case's run: its network, region lists and settings, written once for every case that shares
// them.
const pages = new Map();
function pageOf(each) {
    const args = [path.join(examples, each.network || 'network.txt'),
        '-p', path.join(examples, 'positive.txt'),
        ...(each.withoutNegative ? [] : ['-n', path.join(examples, 'negative.txt')]),
        '-a', path.join(examples, 'accelerated.txt')];
    const key = JSON.stringify([args, each.settings || {}]);
    if (!pages.has(key))
        pages.set(key, write('case-' + pages.size + '.html', args, each.settings || {}).file);
    return pages.get(key);
}

// Run in the page: a step of a case, its names made the page's places, through the page's command hook.
function runStep(step) {
    const data = JSON.parse(document.getElementById('linkmap-data').textContent);
    const site = (name) => {
        const index = window.linkmap.siteNamed(name);
        if (index < 0)
            throw new Error('no site ' + name);
        return index;
    };
    const [word, ...args] = step;
    if (word === 'region')
        return window.linkmap.command(word, args[0] === 'all' ? 0 : data.regions.find((entry) => entry.word === args[0]).kind);
    if (word === 'pick' && args.length === 0)
        return window.linkmap.command(word, {kind: '', index: 0});
    if (word === 'pick' && args.length === 1)
        return window.linkmap.command(word, {kind: 'site', index: site(args[0])});
    if (word === 'pick') {
        const [a, b] = [site(args[0]), site(args[1])];
        const ends = window.linkmap.linkEnds();
        for (let link = 0; link < ends.length / 2; ++link)
            if ((ends[2 * link] === a && ends[2 * link + 1] === b) || (ends[2 * link] === b && ends[2 * link + 1] === a))
                return window.linkmap.command(word, {kind: 'link', index: link});
        throw new Error('no link ' + args.join(' '));
    }
    if (word === 'centre' || word === 'pathTo')
        return window.linkmap.command(word, site(args[0]));
    return window.linkmap.command(word, ...args);
}

test('every case of the table that the page can run presents what it expects, as in the program', async () => {
    const shared = cases.filter((each) => each.frontEnd !== 'window');
    assert.ok(shared.length >= 40, 'only ' + shared.length + ' cases the page runs');
    let page = null;
    let file = null;
    for (const each of shared) {
        const wanted = pageOf(each);
        if (page === null || wanted !== file) {
            if (page !== null)
                await page.close();
            file = wanted;
            page = await openPage(browser, file);
        } else {
            await page.reload();
            await page.waitForFunction(() => document.body.dataset.ready === 'true');
        }
        let effect = {};
        for (const step of each.commands)
            effect = await page.evaluate(runStep, step);
        const presented = await page.evaluate(() => window.linkmap.present());
        presented.quit = effect.quit === true;
        presented.centre = effect.centre === undefined ? '' : await page.evaluate((site) => window.linkmap.nameOf(site), effect.centre);
        for (const [key, expected] of Object.entries(each.expect))
            assert.deepEqual(presented[key], expected, each.name + ': ' + key);
        // What the page shows is what it presents.
        assert.equal(await page.textContent('#corner'), presented.corner.join('\n'), each.name + ': the corner shown');
        assert.deepEqual(page.errors, [], each.name);
    }
    await page.close();
});
