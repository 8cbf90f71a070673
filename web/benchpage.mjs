// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The page's start in headless Chromium, beside a bare Qt window built the
// same way:  node benchpage.mjs FOLDER LOADS
// FOLDER is the zip's folder with barewindow.js, .wasm and .data beside
// it. Each load is a fresh browser context, so nothing is cached; the two
// pages load in turn. The time is from the start of the page's navigation
// to the end of the task in which the program draws its first frame
// through WebGL. Prints the medians and the spread of the pairs' ratios.

import { launch, serve } from './browser.mjs';
import { readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';

const [folder, loads = '9'] = process.argv.slice(2);
const index = readFileSync(join(folder, 'index.html'), 'utf8');
const address = await serve(resolve(folder),
                            { '/bare.html': index.replace("loadEmscriptenModule('perforon')",
                                                          "loadEmscriptenModule('barewindow')") });

// Notes the end of the task of the first WebGL draw.
const firstFrame = () => {
    for (const context of [WebGLRenderingContext, WebGL2RenderingContext]) {
        for (const name of ['drawArrays', 'drawElements']) {
            const draw = context.prototype[name];
            context.prototype[name] = function (...args) {
                if (window.firstDraw === undefined) {
                    window.firstDraw = performance.now();
                    setTimeout(() => { window.firstFrame = performance.now(); });
                }
                return draw.apply(this, args);
            };
        }
    }
};

const browser = await launch();
async function load(path) {
    const context = await browser.newContext({ viewport: { width: 1600, height: 1000 } });
    await context.addInitScript(firstFrame);
    const page = await context.newPage();
    await page.goto(`${address}${path}`);
    await page.waitForFunction(() => window.firstFrame !== undefined, null, { timeout: 120000 });
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
console.log(`Page to first frame (median of ${loads} pairs): Perforon ${median(own).toFixed(0)} ms, ` +
            `bare window ${median(bare).toFixed(0)} ms`);
console.log(`  ratio of the pairs: median ${median(ratios).toFixed(2)}, ` +
            `range ${sorted[0].toFixed(2)} to ${sorted[sorted.length - 1].toFixed(2)}`);
