// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the browser checks share: a static web server for a folder on
// 127.0.0.1, as any would serve the zip's folder, and headless Chromium
// from Debian, driven by Playwright (PERFORON_PLAYWRIGHT names its
// index.mjs; tools/web.sh installs it).

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

// Headless Chromium as the machine's user has it, with WebGL through
// SwiftShader, and none of the connections a closed network refuses.
export async function launch() {
    const { chromium } = await import(process.env.PERFORON_PLAYWRIGHT || 'playwright-core');
    return chromium.launch({
        executablePath: process.env.PERFORON_CHROMIUM || '/usr/bin/chromium',
        args: ['--no-sandbox', '--use-gl=angle', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
               '--disable-background-networking', '--disable-component-update', '--disable-sync',
               '--disable-quic', '--no-first-run'],
    });
}
