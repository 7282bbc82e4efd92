// The web page in a real browser: Chromium, headless, WebGL drawn by SwiftShader.
import assert from 'node:assert/strict';
import {after, before, test} from 'node:test';
import {completeAfter, example, figureCorner, labelsAfter, linkmap, namesOf, openBrowser, openPage, picture,
    picturesUntilComplete, waitFor, write}
    from './support.mjs';
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

let browser;
before(async () => { browser = await openBrowser(); });
after(async () => { await browser.close(); });

// How many pixels of the picture are near each colour, 0-255 a channel.
function near(colors, [r, g, b], reach = 40) {
    let count = 0;
    for (const [key, n] of Object.entries(colors)) {
        const [kr, kg, kb] = key.split(',').map(Number);
        if (Math.abs(kr - r) <= reach && Math.abs(kg - g) <= reach && Math.abs(kb - b) <= reach)
            count += n;
    }
    return count;
}

// The first view leaves the controls and the help free: no sphere reaches into their boxes.
async function leavesTheControlsFree(page, names) {
    const boxes = await page.evaluate(() => ['controls', 'panel'].map((id) => document.getElementById(id))
        .filter((element) => element.getClientRects().length > 0).map((element) => element.getBoundingClientRect().toJSON()));
    assert.equal(boxes.length, 2);
    for (const name of names) {
        const at = await page.evaluate((each) => window.linkmap.siteOnScreen(window.linkmap.siteNamed(each)), name);
        for (const box of boxes)
            assert.ok(!(at.x + at.radius > box.left && at.y + at.radius > box.top && at.y - at.radius < box.bottom),
                      name + ' stands under the controls or the help, at ' + JSON.stringify(at) + ', in ' + JSON.stringify(box));
    }
}

test('the page draws the first view, its names as text, and turns with a drag', async () => {
    const {file, links} = write('example.html', example);
    const page = await openPage(browser, file);
    const first = await picture(page);
    // The background, every region's sphere colour lit, and the ends and middle of the link colours.
    for (const color of [[51, 51, 102], [230, 0, 0], [23, 230, 23], [46, 46, 161], [161, 161, 161], [255, 255, 0]])
        assert.ok(near(first.colors, color) > 50, 'too few pixels near ' + color);
    assert.ok(Object.keys(first.colors).length > 200, 'the picture is nearly blank');

    // Every name is the page's text, and the browser's own find finds it.
    const text = await page.textContent('body');
    for (const name of namesOf(links)) {
        assert.ok(text.includes(name), name + ' is not in the page');
        assert.ok(await page.evaluate((each) => { getSelection().removeAllRanges(); return window.find(each); }, name),
                  'find does not find ' + name);
    }
    const labels = await page.$$eval('#labels .label', (nodes) => nodes.map((node) => node.textContent).sort());
    assert.deepEqual(labels, namesOf(links).sort());
    await leavesTheControlsFree(page, namesOf(links));

    // A drag turns it; Space brings back the first view.
    await page.mouse.move(640, 512);
    await page.mouse.down();
    for (let step = 1; step <= 10; ++step)
        await page.mouse.move(640 + 20 * step, 512 + 5 * step);
    await completeAfter(page, 'a drag', () => page.mouse.up());
    const turned = await picture(page);
    assert.notEqual(turned.digest, first.digest);
    await completeAfter(page, 'Space', () => page.keyboard.press('Space'));
    assert.equal((await picture(page)).digest, first.digest);
    assert.deepEqual(page.errors, []);
    await page.close();
});

test('clicks and keys write the corner text the window writes', async () => {
    const {file, links} = write('example.html', example);
    const page = await openPage(browser, file);
    const corner = () => page.textContent('#corner');
    const at = (name) => page.evaluate((each) => window.linkmap.siteOnScreen(window.linkmap.siteNamed(each)), name);
    assert.equal(await corner(), '');

    // A click on a site, on the middle of a link, and on nothing.
    const k45 = await at('K45');
    await page.mouse.click(k45.x, k45.y);
    assert.equal(await corner(), figureCorner(example, {LINKMAP_SELECT: 'K45'}));
    assert.match(await corner(), /^K45: positive region \(positive.txt\); 6 links, the strongest with \S+ at /);
    const f201 = await at('F201');
    await page.mouse.click((k45.x + f201.x) / 2, (k45.y + f201.y) / 2);
    const link = links.find((each) => each.first === 'K45' && each.second === 'F201');
    assert.equal(await corner(), 'Link between K45 and F201 with weight ' + link.weight.toFixed(6));
    await page.mouse.click(5, 1000);
    assert.equal(await corner(), '');

    // + raises the cutoff a twentieth at a time, - lowers it, and the region keys filter, as in the window.
    await page.mouse.click(k45.x, k45.y);
    await page.keyboard.press('+');
    await page.keyboard.press('+');
    const shown = links.filter((each) => Math.abs(each.weight) >= 0.1).length;
    assert.ok((await corner()).endsWith('\nCutoff 0.10: ' + shown + ' of ' + links.length + ' links shown'));
    await page.keyboard.press('1');
    assert.equal(await corner(),
                 figureCorner(example, {LINKMAP_SELECT: 'K45', LINKMAP_CUTOFF: '0.1', LINKMAP_REGION: 'positive'}));
    await page.keyboard.press('-');
    await page.keyboard.press('-');
    await page.keyboard.press('0');
    assert.equal(await corner(), figureCorner(example, {LINKMAP_SELECT: 'K45'}));
    assert.deepEqual(page.errors, []);
    await page.close();
});

// The width and height a PNG's header gives.
function pngSize(bytes) {
    assert.equal(bytes.toString('latin1', 1, 4), 'PNG');
    return [bytes.readUInt32BE(16), bytes.readUInt32BE(20)];
}

test('the controls set the cutoff and the region, find a site, save a PNG and hide the help', async () => {
    const {file} = write('controls.html', example);
    const page = await openPage(browser, file);
    const corner = () => page.textContent('#corner');
    const slide = (steps) => page.$eval('#cutoff-slider', (slider, value) => {
        slider.value = String(value);
        slider.dispatchEvent(new Event('input'));
    }, steps);

    // The slider moves in the keys' twentieths, and follows them.
    await slide(7);
    assert.equal(await corner(), figureCorner(example, {LINKMAP_CUTOFF: '0.35'}));
    await page.keyboard.press('+');
    assert.equal(await page.$eval('#cutoff-slider', (slider) => slider.value), '8');
    assert.match(await page.textContent('#controls'), /Cutoff 0\.40/);
    await page.click('#region-buttons button[data-kind="2"]');
    assert.equal(await corner(), figureCorner(example, {LINKMAP_CUTOFF: '0.4', LINKMAP_REGION: 'negative'}));
    assert.equal(await page.$eval('#region-buttons .chosen', (button) => button.dataset.kind), '2');
    await page.click('#region-buttons button[data-kind="0"]');
    await slide(0);
    assert.equal(await corner(), '');

    // The search box is the window's find prompt: its count as it is typed, then Enter picks the first site
    // its text begins, in any case, centres the view on it, and gives the keys back to the picture.
    await page.fill('#site-search', 'k4');
    assert.equal(await corner(), 'Find: k4  (1 site matches)');
    await completeAfter(page, 'a search', () => page.press('#site-search', 'Enter'));
    assert.equal(await corner(), 'Find: k4  (1 of 1)\n' + figureCorner(example, {LINKMAP_SELECT: 'K45'}));
    const k45 = await page.evaluate(() => window.linkmap.siteOnScreen(window.linkmap.siteNamed('K45')));
    assert.ok(Math.hypot(k45.x - 640, k45.y - 512) < 2, 'K45 is not in the middle: ' + JSON.stringify(k45));
    await page.keyboard.press('+');
    assert.equal(await page.$eval('#site-search', (box) => box.value), 'k4', '+ is not typed into the box');
    assert.match(await corner(), /\nCutoff 0\.05: 21 of 22 links shown$/);
    await page.keyboard.press('-');
    await page.keyboard.press('Escape');
    assert.equal(await corner(), figureCorner(example, {LINKMAP_SELECT: 'K45'}), 'Escape closes the prompt');
    assert.equal(await page.$eval('#site-search', (box) => box.value), '');
    await page.fill('#site-search', 'zz');
    await page.press('#site-search', 'Enter');
    assert.match(await corner(), /^Find: zz {2}\(no site matches\)\nK45: [^\n]*$/);
    // A number finds the site of that number as the window's search does, leading zeros and all.
    for (const [typed, site] of [['0212', 'V212'], ['12', 'H12']]) {
        await completeAfter(page, 'a search by number', async () => {
            await page.fill('#site-search', typed);
            await page.press('#site-search', 'Enter');
        });
        assert.equal(await corner(), 'Find: ' + typed + '  (1 of 1)\n' + figureCorner(example, {LINKMAP_SELECT: site}), typed);
    }
    // A click on the picture closes the prompt, and picks as ever.
    await page.mouse.click(5, 1000);
    assert.equal(await corner(), '');

    // A PNG of what the page shows, at its size and at twice it.
    for (const [button, width, height] of [['PNG', 1280, 1024], ['PNG 2\u00d7', 2560, 2048]]) {
        const [download] = await Promise.all([page.waitForEvent('download'), page.click('text="' + button + '"')]);
        const saved = await download.path();
        assert.deepEqual(pngSize(fs.readFileSync(saved)), [width, height], button);
        assert.match(download.suggestedFilename(), /^network\.txt(@2x)?\.png$/);
    }

    // Resting on a site, the pointer has the corner's line for it beside it.
    const k45Now = await page.evaluate(() => window.linkmap.siteOnScreen(window.linkmap.siteNamed('K45')));
    await page.mouse.move(k45Now.x, k45Now.y);
    await waitFor(page, 'the tooltip', () => document.getElementById('tooltip').style.display === 'block');
    assert.equal(await page.textContent('#tooltip'), figureCorner(example, {LINKMAP_SELECT: 'K45'}).split('\n')[0]);
    await page.mouse.move(5, 1000);
    await waitFor(page, 'the tooltip gone', () => document.getElementById('tooltip').style.display === 'none');

    // Zooming out stops where the window's does, or at the first view where that stands farther back to leave
    // the controls and the help free.
    await completeAfter(page, 'Space', () => page.keyboard.press('Space'));
    const farthest = Math.max(await page.evaluate(() => JSON.parse(document.getElementById('linkmap-data').textContent).camera.farthest),
        await page.evaluate(() => window.linkmap.distance()));
    assert.ok(farthest > 0);
    await page.mouse.move(640, 512);
    for (let i = 0; i < 40; ++i)
        await page.mouse.wheel(0, 400);
    await completeAfter(page, 'zooming out', () => page.mouse.wheel(0, 400));
    assert.ok(await page.evaluate(() => window.linkmap.distance()) <= farthest * 1.0001);

    // The help, and the list of sites with it, come and go.
    await page.click('#help-toggle');
    assert.equal(await page.$eval('#panel', (panel) => getComputedStyle(panel).display), 'none');
    await page.click('#help-toggle');
    assert.notEqual(await page.$eval('#panel', (panel) => getComputedStyle(panel).display), 'none');
    assert.deepEqual(page.errors, []);
    await page.close();
});

test('the page lists its paths, steps through them, keeps them under another cutoff and brings them back', async () => {
    const settings = {LINKMAP_FROM: 'H12', LINKMAP_TO: 'V212'};
    const {file} = write('paths.html', example, settings);
    const page = await openPage(browser, file);
    const corner = () => page.textContent('#corner');
    const all = figureCorner(example, settings);
    assert.equal(await corner(), all);
    const listed = await page.$$eval('#paths li', (items) => items.map((item) => item.textContent));
    const printed = write('paths.graphml', example, settings).log.split('\n').filter((line) => /^Path \d+ of /.test(line));
    assert.equal(listed.length, 10);
    assert.deepEqual(listed, printed, 'the list is what standard output lists');

    // ] and [ step from the shortest, stopping at either end; \ shows them all again.
    for (const [key, shown] of [[']', 0], [']', 1], ['[', 0], ['[', 0]]) {
        await page.keyboard.press(key);
        assert.equal(await corner(), all + '\n' + listed[shown], key);
    }
    await page.keyboard.press('\\');
    assert.equal(await corner(), all);

    // A click picks, and puts the paths aside; \ brings them back beside the pick, and Escape takes back a
    // step at a time.
    const k45 = await page.evaluate(() => window.linkmap.siteOnScreen(window.linkmap.siteNamed('K45')));
    await page.mouse.click(k45.x, k45.y);
    const picked = figureCorner(example, {LINKMAP_SELECT: 'K45'});
    assert.equal(await corner(), picked);
    await page.keyboard.press('\\');
    assert.equal(await corner(), picked + '\n' + all);
    await page.keyboard.press('Escape');
    assert.equal(await corner(), picked);
    await page.keyboard.press('Escape');
    assert.equal(await corner(), '');
    await page.keyboard.press('\\');
    assert.equal(await corner(), all);

    // Under a cutoff that hides some of their links, the paths stay drawn, and the corner says where they were
    // found; back at that cutoff, it says nothing more.
    const before = await picture(page);
    for (let step = 0; step < 8; ++step)
        await page.keyboard.press('+');
    const lines = (await corner()).split('\n');
    assert.equal(lines[0], all);
    assert.equal(lines[1], 'The paths were found at cutoff 0.00');
    assert.match(lines[2], /^Cutoff 0\.40: \d+ of 22 links shown$/);
    const after = await picture(page);
    assert.notEqual(after.digest, before.digest);
    for (let step = 0; step < 8; ++step)
        await page.keyboard.press('-');
    assert.equal(await corner(), all);
    assert.deepEqual(page.errors, []);
    await page.close();
});

test('the settings set the first view, and a region without its list says so', async () => {
    const settings = {LINKMAP_SELECT: 'E104', LINKMAP_CUTOFF: '0.45', LINKMAP_REGION: 'negative'};
    const {file} = write('settings.html', example, settings);
    const page = await openPage(browser, file);
    assert.equal(await page.textContent('#corner'), figureCorner(example, settings));
    // Without -a, key 3 is refused with the window's message.
    const bare = write('bare.html', example.slice(0, 5));
    const barePage = await openPage(browser, bare.file);
    await barePage.keyboard.press('3');
    assert.equal(await barePage.textContent('#corner'), 'No accelerated list was given (-a)');
    assert.deepEqual([...page.errors, ...barePage.errors], []);
    await page.close();
    await barePage.close();
});

test('a large network shows labels over the whole view, apart, and lists every name', async () => {
    const groups = path.join(path.dirname(write('probe.html', example).file), 'large.txt');
    // 50 rings of 8 sites: more sites than the page labels.
    const lines = [];
    for (let ring = 0; ring < 50; ++ring) {
        const sites = Array.from({length: 8}, (_, k) => 'A' + (ring * 10 + k + 1) * 3);
        const weights = Array.from({length: 28}, (_, k) => (((ring + k) % 19) / 10 - 0.9).toFixed(2));
        lines.push([...sites, ...weights].join(' '));
    }
    fs.writeFileSync(groups, lines.join('\n') + '\n');
    const {file, links} = write('large.html', [groups]);
    const page = await openPage(browser, file);
    const names = namesOf(links);
    assert.equal(names.length, 400);
    await leavesTheControlsFree(page, names);
    const labels = await page.$$eval('#labels .label', (nodes) => nodes.map((node) => node.textContent));
    assert.equal(labels.length, 300);
    assert.match(await page.textContent('#label-note'), /^Labels: 300 of 400 sites, over the whole view/);
    const text = await page.textContent('#sites');
    for (const name of names)
        assert.ok(text.includes(name), name + ' is not listed');
    // Zooming in and letting go chooses the labels again, among those now in view.
    await page.mouse.move(640, 512);
    await labelsAfter(page, 'zooming in', async () => {
        for (let turn = 0; turn < 6; ++turn)
            await page.mouse.wheel(0, -400);
    });
    const closer = await page.$$eval('#labels .label', (nodes) => nodes.map((node) => node.textContent));
    assert.notDeepEqual(closer.sort(), labels.sort());
    // Tilted, the far part of the network keeps labels too: of the quarter of the sites drawn highest, the
    // farthest, a good share are labelled, where the 300 nearest would leave them none.
    await page.keyboard.press(' ');
    await labelsAfter(page, 'a tilt', async () => {
        await page.mouse.move(640, 700);
        await page.mouse.down();
        for (let step = 1; step <= 10; ++step)
            await page.mouse.move(640, 700 - 20 * step);
        await page.mouse.up();
    });
    const shown = new Set(await page.$$eval('#labels .label', (nodes) => nodes.map((node) => node.textContent)));
    const heights = await page.evaluate((all) => all.map((name) => [name, window.linkmap.siteOnScreen(window.linkmap.siteNamed(name)).y]), names);
    const highest = heights.sort((a, b) => a[1] - b[1]).slice(0, 100).map(([name]) => name);
    assert.ok(highest.filter((name) => shown.has(name)).length >= 20, 'the far sites have no labels');
    // No two labels overlap.
    const boxes = await page.$$eval('#labels .label', (nodes) => nodes.map((node) => node.getBoundingClientRect().toJSON()));
    for (let i = 0; i < boxes.length; ++i)
        for (let j = i + 1; j < boxes.length; ++j)
            assert.ok(!(boxes[i].left < boxes[j].right - 0.5 && boxes[j].left < boxes[i].right - 0.5 &&
                        boxes[i].top < boxes[j].bottom - 0.5 && boxes[j].top < boxes[i].bottom - 0.5), 'two labels overlap');
    assert.deepEqual(page.errors, []);
    await page.close();
});

test('a label shows only where the eye sees its site, and covers no control', async () => {
    // Where the example's sites stand, from the page's own data.
    const probe = await openPage(browser, write('sight.html', example).file);
    const where = await probe.evaluate(() => {
        const data = JSON.parse(document.getElementById('linkmap-data').textContent);
        const positions = new Float32Array(Uint8Array.from(atob(data.positions), (c) => c.charCodeAt(0)).buffer);
        const of = (name) => Array.from(positions.subarray(3 * window.linkmap.siteNamed(name), 3 * window.linkmap.siteNamed(name) + 3));
        return {front: of('K45'), back: of('H12')};
    });
    await probe.close();
    // An eye on the line from H12 through K45, beyond K45 (where no other site stands) and looking at it: K45's
    // sphere hides H12's.
    const away = where.front.map((value, axis) => value - where.back[axis]);
    const length = Math.hypot(...away);
    const eye = where.front.map((value, axis) => value + 40 * away[axis] / length);
    const up = Math.abs(away[2]) < 0.9 * length ? [0, 0, 1] : [1, 0, 0];
    const view = [...eye, ...where.front, ...up].join(' ');
    const page = await openPage(browser, write('behind.html', example, {LINKMAP_VIEW: view}).file);
    const labels = () => page.$$eval('#labels .label', (nodes) => nodes.map((node) => node.textContent));
    assert.ok((await labels()).includes('K45'), 'the front site has no label');
    assert.ok(!(await labels()).includes('H12'), 'the hidden site has a label');
    // No label covers the controls, the corner or the key.
    const overlaps = await page.evaluate(() => {
        const boxes = [...document.querySelectorAll('#controls, #corner, #key > *, #panel')].map((node) => node.getBoundingClientRect())
            .filter((box) => box.width > 0 && box.height > 0);
        return [...document.querySelectorAll('#labels .label')].filter((node) => {
            const label = node.getBoundingClientRect();
            return boxes.some((box) => label.left < box.right && box.left < label.right && label.top < box.bottom && box.top < label.bottom);
        }).map((node) => node.textContent);
    });
    assert.deepEqual(overlaps, []);
    // A turn that brings H12 out from behind gives it its label again.
    await page.mouse.move(640, 512);
    await page.mouse.down();
    await labelsAfter(page, 'a turn', async () => {
        for (let step = 1; step <= 10; ++step)
            await page.mouse.move(640 + 25 * step, 512);
        await page.mouse.up();
    });
    assert.ok((await labels()).includes('H12'), 'the site turned into sight has no label');
    assert.deepEqual(page.errors, []);
    await page.close();
});

test('a network past the slice size turns as a light picture and comes back whole, the same', async () => {
    const groups = path.join(path.dirname(write('probe.html', example).file), 'sliced.txt');
    // 2,000 rings of 8 sites: 56,000 links, drawn three slices; only the last ring's, in the last slice, are
    // red.
    const lines = [];
    for (let ring = 0; ring < 2000; ++ring) {
        const sites = Array.from({length: 8}, (_, k) => 'S' + (ring * 10 + k + 1));
        lines.push([...sites, ...Array(28).fill(ring === 1999 ? '-1.0' : '0.5')].join(' '));
    }
    fs.writeFileSync(groups, lines.join('\n') + '\n');
    // Seen from close by the last ring, the 2,000th cell of the 45-cell-wide grid, 40 units apart.
    const {file} = write('sliced.html', [groups], {LINKMAP_VIEW: '760 -90 -1760 760 0 -1760 0 0 1'});
    const page = await openPage(browser, file);
    const whole = await picture(page);
    assert.ok(near(whole.colors, [230, 0, 0]) > 1000, 'the last slice is missing');
    await page.mouse.move(640, 512);
    await page.mouse.down();
    for (let step = 1; step <= 5; ++step)
        await page.mouse.move(640 + 30 * step, 512);
    await waitFor(page, 'the light picture while the view turns', () => document.body.dataset.complete === 'false');
    const light = await picture(page);
    await completeAfter(page, 'letting go', () => page.mouse.up());
    const turned = await picture(page);
    assert.notEqual(light.digest, turned.digest);
    assert.notEqual(turned.digest, whole.digest);
    await completeAfter(page, 'Space', () => page.keyboard.press('Space'));
    assert.equal((await picture(page)).digest, whole.digest);
    assert.deepEqual(page.errors, []);
    await page.close();

    // Seen whole, where every slice shows: letting go, every frame until the full picture is whole shows the
    // light picture of the view it stopped at, the same each time, never part of the full one.
    const wholePage = await openPage(browser, write('sliced-whole.html', [groups]).file);
    await wholePage.mouse.move(640, 512);
    await wholePage.mouse.down();
    for (let step = 1; step <= 5; ++step)
        await wholePage.mouse.move(640 + 30 * step, 512);
    await waitFor(wholePage, 'the light picture while the view turns', () => document.body.dataset.complete === 'false');
    assert.equal((await picturesUntilComplete(wholePage, 'letting go', () => wholePage.mouse.up())).length, 1,
                 'frames showed part of the full picture');
    assert.deepEqual(wholePage.errors, []);
    await wholePage.close();
});

test('a network on a structure draws its chain, and the residues in the corner', async () => {
    const structure = path.join(process.env.LINKMAP_EXAMPLES, '1hpv.pdb');
    const matrix = path.join(process.env.LINKMAP_EXAMPLES, 'protease-gnm.csv');
    // In the regions' grey, which the chain shares, rather than the communities' colours.
    const env = {LINKMAP_STRUCTURE: structure, LINKMAP_SELECT: 'I50', LINKMAP_COLOR: 'regions'};
    const {file} = write('protease.html', [matrix], env);
    const page = await openPage(browser, file);
    const corner = await page.textContent('#corner');
    assert.equal(corner, figureCorner([matrix], env));
    assert.match(corner, /\(ILE 50, chain A\)/);
    assert.ok(near((await picture(page)).colors, [140, 140, 140], 8) > 100, 'no grey chain');
    await leavesTheControlsFree(page, await page.evaluate(() => JSON.parse(document.getElementById('linkmap-data').textContent).sites)
        .then((count) => page.evaluate((n) => Array.from({length: n}, (_, site) => window.linkmap.nameOf(site)), count)));
    assert.deepEqual(page.errors, []);
    await page.close();
});

test('names are text, whatever characters they hold', async () => {
    const groups = path.join(path.dirname(write('probe.html', example).file), 'odd.txt');
    fs.writeFileSync(groups, 'K<b>12 H</script>13 Q&amp;"14 0.5 -0.25 0.75\n');
    const {file, links} = write('odd.html', [groups]);
    const page = await openPage(browser, file);
    const labels = await page.$$eval('#labels .label', (nodes) => nodes.map((node) => node.textContent).sort());
    assert.deepEqual(labels, namesOf(links).sort());
    const site = await page.evaluate(() => window.linkmap.siteOnScreen(window.linkmap.siteNamed('H</script>13')));
    await page.mouse.click(site.x, site.y);
    assert.equal(await page.textContent('#corner'), figureCorner([groups], {LINKMAP_SELECT: 'H</script>13'}));
    assert.deepEqual(page.errors, []);
    await page.close();
});

test('a narrow page shows the whole first view, and its corner wraps', async () => {
    const settings = {LINKMAP_SELECT: 'K45', LINKMAP_CUTOFF: '0.3'};
    const {file, links} = write('narrow.html', example, settings);
    const page = await openPage(browser, file, {width: 412, height: 800});
    for (const name of namesOf(links)) {
        const at = await page.evaluate((each) => window.linkmap.siteOnScreen(window.linkmap.siteNamed(each)), name);
        assert.ok(at.x > 0 && at.x < 412 && at.y > 0 && at.y < 800, name + ' is off the page at ' + JSON.stringify(at));
    }
    await leavesTheControlsFree(page, namesOf(links));
    assert.equal(await page.textContent('#corner'), figureCorner(example, settings));
    const corner = await page.evaluate(() => document.getElementById('corner').getBoundingClientRect().toJSON());
    assert.ok(corner.right <= 412, 'the corner runs off the page: ' + corner.right);
    // Nor under the controls: it wraps short of them.
    const controls = await page.evaluate(() => document.getElementById('controls').getBoundingClientRect().toJSON());
    assert.ok(corner.right <= controls.left || corner.top >= controls.bottom,
              'the corner runs under the controls: ' + JSON.stringify([corner, controls]));
    // Space comes back to the same fitted view.
    const first = await page.evaluate(() => window.linkmap.distance());
    await page.mouse.wheel(0, -400);
    await completeAfter(page, 'Space', () => page.keyboard.press('Space'));
    assert.ok(Math.abs(await page.evaluate(() => window.linkmap.distance()) - first) < 1e-6 * first);
    assert.deepEqual(page.errors, []);
    await page.close();
});

test('a page of standard input names it in its title, a file by its name', () => {
    const out = path.join(path.dirname(write('named.html', example).file), 'piped.html');
    const run = spawnSync(linkmap, ['-', '--generate-image', out], {input: fs.readFileSync(example[0])});
    assert.equal(run.status, 0, String(run.stderr));
    assert.match(fs.readFileSync(out, 'utf8'), /<title>linkmap: standard input<\/title>/);
    assert.match(fs.readFileSync(write('named.html', example).file, 'utf8'), /<title>linkmap: network\.txt<\/title>/);
});
