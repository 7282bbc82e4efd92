// The example notebook, executed headless by nbconvert with Debian's Jupyter and ProDy: its HTML shows the
// network inline, drawn as the page's own tests check it.
import assert from 'node:assert/strict';
import {after, before, test} from 'node:test';
import {examples, folder, openBrowser, picture, waitFor} from './support.mjs';
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

let browser;
before(async () => { browser = await openBrowser(); });
after(async () => { await browser.close(); });

test('the notebook computes its correlations with ProDy and shows the network inline', async () => {
    for (const file of ['protease-notebook.ipynb', '1hpv.pdb'])
        fs.copyFileSync(path.join(examples, file), path.join(folder, file));
    // Debian's Python first, whose ProDy, numpy and kernel the notebook runs with, and the module built.
    const env = {...process.env, PATH: '/usr/bin:' + process.env.PATH, OSG_WINDOW: '0 0 1000 640'};
    delete env.DISPLAY;
    const run = spawnSync('jupyter', ['nbconvert', '--to', 'html', '--execute', 'protease-notebook.ipynb',
        '--output', 'notebook.html'], {cwd: folder, env, encoding: 'utf8', timeout: 300000});
    assert.equal(run.status, 0, run.stderr);
    const notebook = fs.readFileSync(path.join(folder, 'notebook.html'), 'utf8');
    assert.ok(!notebook.includes('Traceback'), 'a cell failed');

    const page = await browser.newPage({viewport: {width: 1200, height: 1600}});
    const errors = [];
    page.on('pageerror', (error) => errors.push(error.message));
    await page.goto('file://' + path.join(folder, 'notebook.html'));
    const frame = await (await page.waitForSelector('iframe[title="linkmap"]')).contentFrame();
    await waitFor(frame, 'the inline page\'s first full picture',
                  () => document.body.dataset.ready === 'true' && document.body.dataset.complete === 'true');
    // The background and the green of strong positive links, and many colours beside: a network drawn.
    const drawn = await picture(frame);
    const count = (test) => Object.entries(drawn.colors).filter(([key]) => test(key.split(',').map(Number)))
        .reduce((sum, [, n]) => sum + n, 0);
    assert.ok(count(([r, g, b]) => Math.abs(r - 51) < 8 && Math.abs(g - 51) < 8 && Math.abs(b - 102) < 8) > 1000);
    assert.ok(count(([r, g, b]) => g > 150 && r < 200 && b < 100) > 200, 'no strong links are drawn');
    assert.ok(Object.keys(drawn.colors).length > 200, 'the picture is nearly blank');
    // Its sites are the ProDy residues' names, on the structure.
    const labels = await frame.$$eval('#labels .label', (nodes) => nodes.map((node) => node.textContent));
    assert.ok(labels.includes('I50') || labels.includes('G51'), 'no flap residue is labelled: ' + labels);
    const sites = await frame.evaluate(() => window.linkmap.siteNamed('D25'));
    assert.ok(sites >= 0, 'D25 is no site');
    assert.deepEqual(errors, []);
    await page.close();
});
