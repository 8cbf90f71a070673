// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Runs one QtTest suite of the browser build in a headless browser
// (PERFORON_BROWSER) and exits as the suite does:
//     node runsuite.mjs FOLDER SUITE [QTEST ARGUMENT...]
// FOLDER holds suite.html and the suite's .js, .wasm and .data; QtTest's
// output is printed as the page's console shows it. A suite that waits
// hands the browser its loop back, and Emscripten does not tell the page
// when such a program's main() has returned: the suite has ended when
// QtTest says it has finished, with the totals just before.

import { allowClipboard, browserName, launch, newPage, serve } from './browser.mjs';
import { resolve } from 'node:path';

const [folder, suite, ...qtestArguments] = process.argv.slice(2);
const SuiteTimeoutMs = 280000; // inside CTest's 300 s

const address = await serve(resolve(folder));
const browser = await launch();
await allowClipboard(browser, address);
let failed;
let reason;
let ended = false; // the suite has finished or stopped
try {
    const page = await newPage(browser);
    const finished = new Promise(done => {
        page.on('console', message => {
            const text = message.text();
            console.log(text);
            const totals = /^Totals: \d+ passed, (\d+) failed/.exec(text);
            if (totals)
                failed = Number(totals[1]);
            if (text.startsWith('********* Finished testing of '))
                done();
        });
        page.on('pageerror', error => {
            // A browser that keeps its clipboard from the page (Firefox,
            // without a visitor's gesture) refuses Qt's copy there; the
            // program keeps the text and the suite goes on.
            const text = `${error.name}: ${error.message}`;
            if (text.includes('NotAllowedError') && /clipboard/i.test(text)) {
                console.log(`(${browserName}: ${error.message})`);
                return;
            }
            reason = `page error: ${error.message}`;
            done();
        });
        page.on('error', () => {
            reason = 'the page crashed';
            done();
        });
    });
    const query = new URLSearchParams({ suite, args: qtestArguments.join('\n') });
    await page.goto(`${address}/suite.html?${query}`);
    const stopped = page.waitForFunction(() => window.suiteStopped, { timeout: SuiteTimeoutMs, polling: 200 })
                        .then(handle => handle.jsonValue())
                        .then(why => { reason ??= why; }, error => { if (!ended) reason ??= error.message; });
    await Promise.race([finished, stopped]);
    ended = true;
} catch (error) {
    reason = error.message;
} finally {
    await browser.close();
}
if (reason === undefined && failed === undefined)
    reason = 'QtTest gave no totals';
if (reason !== undefined)
    console.log(`${suite} in ${browserName}: ${reason}`);
process.exit(reason === undefined && failed === 0 ? 0 : 1);
