// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The page's start in a headless browser (PERFORON_BROWSER), beside a bare
// Qt window built the same way:  node benchpage.mjs FOLDER LOADS
// FOLDER is the zip's folder with barewindow.js, .wasm and .data beside
// it. Each load is a fresh browser context, so nothing is cached; the two
// pages load in turn. The time is from the start of the page's navigation
// to the end of the task in which the program first draws a window into
// its canvas. Prints the medians and the spread of the pairs' ratios.

import { browserName, launch, serve } from './browser.mjs';
import { readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';

const [folder, loads = '9'] = process.argv.slice(2);
const index = readFileSync(join(folder, 'index.html'), 'utf8');
const address = await serve(resolve(folder),
                            { '/bare.html': index.replaceAll('perforon.js', 'barewindow.js')
                                                   .replaceAll('perforon_entry', 'barewindow_entry') });

// Notes the end of the task of the first picture put into a canvas.
const firstFrame = () => {
    for (const name of ['putImageData', 'drawImage']) {
        const draw = CanvasRenderingContext2D.prototype[name];
        CanvasRenderingContext2D.prototype[name] = function (...args) {
            if (window.firstDraw === undefined) {
                window.firstDraw = performance.now();
                setTimeout(() => { window.firstFrame = performance.now(); });
            }
            return draw.apply(this, args);
        };
    }
};

const browser = await launch();
async function load(path) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport({ width: 1600, height: 1000 });
    await page.evaluateOnNewDocument(firstFrame);
    await page.goto(`${address}${path}`);
    await page.waitForFunction(() => window.firstFrame !== undefined, { timeout: 120000 });
    const ms = await page.evaluate(() => window.firstFrame);
    await context.close();
    return ms;
}

const median = values => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const own = [], bare = [], ratios = [];
for (let pair = 0; pair < Number(loads); ++pair) {
    const first = pair % 2 ? '/bare.html' : '/';
    const a = await load(first), b = await load(first === '/' ? '/bare.html' : '/');
    const [o, w] = first === '/' ? [a, b] : [b, a];
    own.push(o); bare.push(w); ratios.push(o / w);
}
await browser.close();
const sorted = [...ratios].sort((a, b) => a - b);
console.log(`${browserName}, page to first frame (median of ${loads} pairs): Perforon ${median(own).toFixed(0)} ms, ` +
            `bare window ${median(bare).toFixed(0)} ms`);
console.log(`  ratio of the pairs: median ${median(ratios).toFixed(2)}, ` +
            `range ${sorted[0].toFixed(2)} to ${sorted[sorted.length - 1].toFixed(2)}`);
