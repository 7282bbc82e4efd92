// What the web page's and the scene file's tests share: the program, its example, a folder of their own, and
// the browser.
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

export const linkmap = process.env.LINKMAP_EXECUTABLE;
export const examples = process.env.LINKMAP_EXAMPLES;
if (!linkmap || !examples)
    throw new Error('set LINKMAP_EXECUTABLE and LINKMAP_EXAMPLES (ctest sets both)');

export const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'linkmap-web-'));
process.on('exit', () => fs.rmSync(folder, {recursive: true, force: true}));

export const example = ['network.txt', '-p', 'positive.txt', '-n', 'negative.txt', '-a', 'accelerated.txt']
    .map((each) => (each.startsWith('-') ? each : path.join(examples, each)));

// Runs the program on args with the settings of env, writing file in the folder; returns its path and the links
// the run logged, each {first, second, weight}.
export function write(file, args, env = {}) {
    const out = path.join(folder, file);
    // Without a display, as on a server: the page is the window's size, 1280 by 1024.
    const settings = {...process.env, ...env};
    delete settings.DISPLAY;
    const log = execFileSync(linkmap, [...args, '--generate-image', out],
                             {env: settings, encoding: 'utf8', maxBuffer: 1 << 30});
    const links = [...log.matchAll(/^Creating link between (\S+) and (\S+) with weight (\S+)$/gm)]
        .map((m) => ({first: m[1], second: m[2], weight: Number(m[3])}));
    return {file: out, links, log};
}

// Every name of the sites of links, once, in the order they first come.
export const namesOf = (links) => [...new Set(links.flatMap((link) => [link.first, link.second]))];

// The corner's lines as a vector figure of the same run writes them: its texts at the left margin in the
// overlay's size, top to bottom.
export function figureCorner(args, env) {
    const svg = fs.readFileSync(write('corner.svg', args, env).file, 'utf8');
    const unescape = (text) => text.replace(/&lt;/g, '<').replace(/&gt;/g, '>').replace(/&quot;/g, '"').replace(/&amp;/g, '&');
    return [...svg.matchAll(/<text x="([\d.]+)" y="([\d.]+)" font-size="([\d.]+)"[^>]*>([^<]*)<\/text>/g)]
        .filter((m) => Number(m[1]) < 40 && Math.abs(Number(m[3]) - 22.528) < 0.01)
        .sort((a, b) => Number(a[2]) - Number(b[2]))
        .map((m) => unescape(m[4]))
        .join('\n');
}

export async function openBrowser() {
    const {chromium} = await import('playwright-core');
    return chromium.launch({
        executablePath: process.env.LINKMAP_CHROMIUM || '/usr/bin/chromium',
        args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
    });
}

// Opens file in a new page of browser, the window's size or viewport, once its script has drawn the full picture
// and chosen its labels; the page's errors are collected in page.errors.
export async function openPage(browser, file, viewport = {width: 1280, height: 1024}) {
    const page = await browser.newPage({viewport});
    page.errors = [];
    page.on('pageerror', (error) => page.errors.push(error.message));
    await page.goto('file://' + file);
    await waitFor(page, 'the first full picture of ' + path.basename(file),
                  () => document.body.dataset.ready === 'true' && document.body.dataset.complete === 'true');
    return page;
}

// How long a test waits at most for a sign of the page that should come at once: generous, so that only a page
// that will never give it makes a test wait this long.
const patience = 60000;

// Waits until check(arg), run in the page at every frame, holds; a test that waits in vain says what for.
export async function waitFor(page, what, check, arg) {
    try {
        await page.waitForFunction(check, arg, {polling: 'raf', timeout: patience});
    } catch (error) {
        throw new Error('waited ' + patience / 1000 + ' s for ' + what + ': ' + error.message);
    }
}

// Runs action, then waits until the page has drawn since and its picture is whole again.
export async function completeAfter(page, what, action) {
    const frames = await page.evaluate(() => Number(document.body.dataset.frames || 0));
    await action();
    await waitFor(page, 'the whole picture after ' + what,
                  (before) => Number(document.body.dataset.frames) > before && document.body.dataset.complete === 'true',
                  frames);
}

// Runs action, then waits until the page has chosen its labels for the view it leaves.
export async function labelsAfter(page, what, action) {
    const choices = await page.evaluate(() => Number(document.body.dataset.labelChoices || 0));
    await action();
    await waitFor(page, 'the labels chosen again after ' + what,
                  (before) => Number(document.body.dataset.labelChoices) > before &&
                      document.body.dataset.labelsPending === 'false',
                  choices);
}

// Run in the page: the canvas's pixels, as an array of [r, g, b] strings' counts and a digest to tell two
// pictures apart.
function canvasPixels() {
    const source = document.querySelector('#scene canvas');
    const copy = document.createElement('canvas');
    copy.width = source.width;
    copy.height = source.height;
    const context = copy.getContext('2d');
    context.drawImage(source, 0, 0);
    const pixels = context.getImageData(0, 0, copy.width, copy.height).data;
    const colors = {};
    let digest = 0;
    for (let i = 0; i < pixels.length; i += 4) {
        const key = pixels[i] + ',' + pixels[i + 1] + ',' + pixels[i + 2];
        colors[key] = (colors[key] || 0) + 1;
        digest = (digest * 31 + pixels[i] * 7 + pixels[i + 1] * 3 + pixels[i + 2]) >>> 0;
    }
    return {colors, digest};
}

// The canvas's pixels once the page has drawn what it was asked to.
export async function picture(page) {
    await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
    return page.evaluate(canvasPixels);
}

// Runs action, then the digests of every picture the page shows until it is whole again, each once.
export async function picturesUntilComplete(page, what, action) {
    await page.evaluate('window.linkmapCanvasPixels = ' + canvasPixels.toString());
    const watching = page.evaluate(() => new Promise((done) => {
        const seen = new Set();
        const look = () => {
            if (document.body.dataset.complete === 'true')
                return done([...seen]);
            seen.add(window.linkmapCanvasPixels().digest);
            requestAnimationFrame(look);
        };
        requestAnimationFrame(look);
    }));
    await completeAfter(page, what, action);
    return watching;
}
