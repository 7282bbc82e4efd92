// Opens a web page of linkmap in headless Chromium (WebGL by SwiftShader) at 1280 x 1024 and prints, on one line,
// first_frame_s (from asking for the page to its first frame shown), turn_median_ms and turn_p90_ms (the time
// between frames while the left button drags, 60 moves of 8 pixels) and turned (whether the drag changed the
// picture), complete_s (to the full picture complete, which a large network draws a slice of links a frame),
// rest_s (from letting go to the full picture complete again) and answer_ms (how long a drag begun
// 0.1 s after letting go of another, while the full picture is drawn, waits for its first frame), then
// paced_median_ms and paced_p90_ms: the time between frames while a drag made in the page itself, a move at
// every animation frame, turns it, so that what is timed is the drawing, not the pace of the driver's moves.
// Run with node from the project root: node bench/webframe.mjs PAGE.html
import {createRequire} from 'node:module';
import path from 'node:path';

const require = createRequire(path.resolve('tests/web') + '/');
const {chromium} = require('playwright-core');
const browser = await chromium.launch({
    executablePath: process.env.LINKMAP_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
});
const page = await browser.newPage({viewport: {width: 1280, height: 1024}});
const start = Date.now();
await page.goto('file://' + path.resolve(process.argv[2]), {timeout: 600000});
await page.waitForFunction(() => Number(document.body.dataset.frames) > 0, null, {timeout: 600000, polling: 20});
await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
const firstFrame = (Date.now() - start) / 1000;
await page.waitForFunction(() => document.body.dataset.complete === 'true', null, {timeout: 600000, polling: 'raf'});
const complete = (Date.now() - start) / 1000;
const digest = () => page.evaluate(() => {
    const canvas = document.querySelector('#scene canvas');
    return canvas.toDataURL().length + ':' + canvas.toDataURL().slice(-200);
});
const before = await digest();

await page.mouse.move(640, 512);
await page.mouse.down();
const from = await page.evaluate(() => window.linkmap.drawn.length);
for (let step = 1; step <= 60; ++step)
    await page.mouse.move(640 + 8 * step, 512 + 2 * step);
const times = await page.evaluate((first) => window.linkmap.drawn.slice(first), from);
// Letting go: the time until the full picture is back, read back from the canvas so that it is drawn.
const letGo = Date.now();
await page.mouse.up();
await page.waitForFunction(() => document.body.dataset.complete === 'true', null, {timeout: 600000, polling: 'raf'});
await page.evaluate(() => {
    const copy = document.createElement('canvas');
    copy.getContext('2d').drawImage(document.querySelector('#scene canvas'), 0, 0, 1, 1);
    copy.getContext('2d').getImageData(0, 0, 1, 1);
});
const rest = (Date.now() - letGo) / 1000;
await page.waitForTimeout(500);
const after = await digest();

// A second drag begun 0.1 s after letting go of a first, while the full picture is drawn again: the time from its
// first move to the frame that answers it.
await page.mouse.down();
await page.mouse.move(700, 560);
await page.mouse.up();
await page.waitForTimeout(100);
await page.mouse.down();
const asked = await page.evaluate(() => window.linkmap.drawn.length);
const moved = Date.now();
await page.mouse.move(760, 580);
await page.waitForFunction((count) => window.linkmap.drawn.length > count, asked, {polling: 'raf'});
const answer = Date.now() - moved;
await page.mouse.up();
await page.waitForFunction(() => document.body.dataset.complete === 'true', null, {timeout: 600000, polling: 'raf'});
const paced = await page.evaluate(() => new Promise((done) => {
    const canvas = document.querySelector('#scene canvas');
    const at = (x, y) => ({clientX: x, clientY: y, screenX: x, screenY: y, button: 0, buttons: 1, bubbles: true, cancelable: true});
    canvas.dispatchEvent(new MouseEvent('mousedown', at(640, 512)));
    const from = window.linkmap.drawn.length;
    let step = 0;
    const move = () => {
        if (++step > 60) {
            document.dispatchEvent(new MouseEvent('mouseup', at(640 + 8 * 60, 512)));
            return done(window.linkmap.drawn.slice(from));
        }
        document.dispatchEvent(new MouseEvent('mousemove', at(640 + 8 * step, 512 + 2 * step)));
        requestAnimationFrame(move);
    };
    requestAnimationFrame(move);
}));
const spread = (list) => {
    const gaps = list.slice(1).map((time, i) => time - list[i]).sort((a, b) => a - b);
    return (share) => (gaps.length ? gaps[Math.min(gaps.length - 1, Math.floor(share * gaps.length))] : NaN);
};
const at = spread(times);
const pacedAt = spread(paced);
console.log(`first_frame_s=${firstFrame.toFixed(2)} complete_s=${complete.toFixed(2)} turn_median_ms=${at(0.5).toFixed(1)} turn_p90_ms=${at(0.9).toFixed(1)} ` +
            `turn_frames=${times.length} turned=${before !== after} rest_s=${rest.toFixed(2)} answer_ms=${answer} ` +
            `paced_median_ms=${pacedAt(0.5).toFixed(1)} paced_p90_ms=${pacedAt(0.9).toFixed(1)} paced_frames=${paced.length}`);
await browser.close();
