// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the browser checks share: a static web server for a folder on
// 127.0.0.1, as any would serve the zip's folder, and the browsers.

import { createReadStream, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join, normalize } from 'node:path';

const types = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript',
    '.mjs': 'text/javascript',
    '.wasm': 'application/wasm',
    '.data': 'application/octet-stream',
    '.png': 'image/png',
    '.svg': 'image/svg+xml',
    '.txt': 'text/plain; charset=utf-8',
};

// Serves the folder, and pages given as { '/name.html': text } beside it,
// until the process ends; resolves to its address.
export function serve(folder, pages = {}) {
    const server = createServer((request, response) => {
        const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
        if (pages[path] !== undefined) {
            response.writeHead(200, { 'Content-Type': types['.html'] }).end(pages[path]);
            return;
        }
        const file = join(folder, path === '/' ? 'index.html' : path);
        let size;
        try {
            size = statSync(file).isFile() ? statSync(file).size : undefined;
        } catch {
            size = undefined;
        }
        if (!file.startsWith(folder) || size === undefined) {
            response.writeHead(404).end();
            return;
        }
        response.writeHead(200, { 'Content-Type': types[extname(file)] ?? 'application/octet-stream',
                                  'Content-Length': size });
        createReadStream(file).pipe(response);
    });
    return new Promise(resolve => server.listen(0, '127.0.0.1', () => {
        server.unref();
        resolve(`http://127.0.0.1:${server.address().port}`);
    }));
}

// The browsers the suites and checks run in: Debian's Chromium, driven
// through its DevTools protocol, and Debian's Firefox ESR, driven through
// WebDriver BiDi, both by puppeteer-core (PERFORON_PUPPETEER names its
// folder; tools/web.sh installs it), which downloads no browser of its own.
// PERFORON_BROWSER picks one: "chromium" (the default) or "firefox".
export const browserName = process.env.PERFORON_BROWSER || 'chromium';

// Either browser headless, making none of the connections a closed network
// refuses.
export async function launch(name = browserName) {
    const { default: puppeteer } = await import(process.env.PERFORON_PUPPETEER || 'puppeteer-core');
    if (name === 'firefox') {
        return puppeteer.launch({
            browser: 'firefox',
            executablePath: process.env.PERFORON_FIREFOX || '/usr/bin/firefox-esr',
            headless: true,
            extraPrefsFirefox: {
                'app.update.enabled': false,
                'browser.shell.checkDefaultBrowser': false,
                'datareporting.policy.dataSubmissionEnabled': false,
                'network.captive-portal-service.enabled': false,
                'network.connectivity-service.enabled': false,
                // The checks put text on the clipboard as another program would.
                'dom.events.testing.asyncClipboard': true,
            },
        });
    }
    return puppeteer.launch({
        browser: 'chrome',
        executablePath: process.env.PERFORON_CHROMIUM || '/usr/bin/chromium',
        headless: true,
        args: ['--no-sandbox', '--disable-background-networking', '--disable-component-update',
               '--disable-sync', '--disable-quic', '--no-first-run'],
    });
}

// A new page of the size the checks and suites expect.
export async function newPage(browser, width = 1600, height = 1000) {
    const page = await browser.newPage();
    await page.setViewport({ width, height });
    return page;
}

// Lets the pages at the address use the system clipboard, as a visitor's
// Chromium lets a page that the visitor pastes into. Firefox has no such
// grant: it lets a page write there only just after a click or key of the
// visitor's (its testing preference above lets the checks read it).
export async function allowClipboard(browser, address) {
    if (browserName === 'chromium')
        await browser.defaultBrowserContext().overridePermissions(address, ['clipboard-read', 'clipboard-write',
                                                                            'clipboard-sanitized-write']);
}

export const pause = ms => new Promise(done => setTimeout(done, ms));
