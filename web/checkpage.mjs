// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the page of the zip's folder as a visitor would, in headless
// Chromium:  node checkpage.mjs FOLDER PICTURES
// The page loads and shows the window at its place; a click on
// "Zeichentest" brings up its box, above the card and centred on the
// window, and Enter dismisses it; German characters typed through the
// browser's keyboard count one each; "Schließen" ends the program and the
// page says so. A small link beside the window's place leads to the
// notices. PICTURES gets the page with the box up.

import { launch, serve } from './browser.mjs';
import { resolve } from 'node:path';

const [folder, pictures] = process.argv.slice(2);
const WaitMs = 60000;

// The window's place and the frame Qt for WebAssembly draws around it: a
// border of 4 pixels and a title bar of 18, whose colour marks the active
// window.
const frame = { left: 200, top: 196, width: 1369, height: 712 };
const client = { left: frame.left + 4, top: frame.top + 26 };
const activeTitle = [48, 140, 198];
// Controls by their place in the window's client area.
const at = (x, y) => ({ x: client.left + x, y: client.top + y });
const inputMemo = at(16 + 8 + 400, 56 + 16 + 12);
const testButton = at(16 + 392 + 64, 56 + 64 + 12);
const retryButton = at(904 + 8 + 100, 56 + 64 + 12);
const stopButton = at(904 + 216 + 100, 56 + 64 + 12);
const counterLabel = { x: client.left + 16 + 144, y: client.top + 56 + 64, width: 60, height: 24 };
const cardTop = client.top + 176;

function fail(message) {
    console.log(`page check: ${message}`);
    process.exit(1);
}

const address = await serve(resolve(folder));
const browser = await launch();
const page = await browser.newPage({ viewport: { width: 1600, height: 1000 } });
const decoder = await browser.newPage();

// The rectangle of the active window's title bar in a picture of the page.
async function activeTitleBar() {
    const png = (await page.screenshot()).toString('base64');
    return decoder.evaluate(async ({ png, colour }) => {
        const image = new Image();
        image.src = `data:image/png;base64,${png}`;
        await image.decode();
        const canvas = new OffscreenCanvas(image.width, image.height);
        const context = canvas.getContext('2d');
        context.drawImage(image, 0, 0);
        const { data, width, height } = context.getImageData(0, 0, image.width, image.height);
        let left = width, top = height, right = -1, bottom = -1;
        for (let y = 0; y < height; ++y) {
            for (let x = 0; x < width; ++x) {
                const i = 4 * (y * width + x);
                if (data[i] === colour[0] && data[i + 1] === colour[1] && data[i + 2] === colour[2]) {
                    left = Math.min(left, x); right = Math.max(right, x);
                    top = Math.min(top, y); bottom = Math.max(bottom, y);
                }
            }
        }
        return right < 0 ? null : { left, top, right, bottom };
    }, { png, colour: activeTitle });
}

// Waits until the active window's title bar is one the test names.
async function waitForActive(what, isIt) {
    const deadline = Date.now() + WaitMs;
    let bar;
    while (Date.now() < deadline) {
        bar = await activeTitleBar();
        if (bar && isIt(bar))
            return bar;
        await page.waitForTimeout(100);
    }
    fail(`${what} did not become the active window (active title bar: ${JSON.stringify(bar)})`);
}

const isMainWindow = bar => bar.left === client.left && bar.top === frame.top + 4
                            && bar.right === frame.left + frame.width - 5;
const isBox = bar => bar.top > frame.top + 4 && bar.right - bar.left < frame.width - 10;

async function click(point) {
    await page.mouse.click(point.x, point.y);
}

// The keys of a German keyboard, as the browser reports them: each
// character with the key that types it. Playwright's own keyboard is an
// American one, without these keys.
const germanKeys = {
    'ä': { code: 'Quote', keyCode: 222 },
    'ö': { code: 'Semicolon', keyCode: 186 },
    'ü': { code: 'BracketLeft', keyCode: 219 },
    'ß': { code: 'Minus', keyCode: 189 },
    '€': { code: 'KeyE', keyCode: 69, modifiers: 6 }, // AltGr: Ctrl and Alt, as Windows has it
};
const devtools = await page.context().newCDPSession(page);

async function typeGerman(text) {
    for (const character of text) {
        const key = germanKeys[character];
        if (!key) {
            await page.keyboard.type(character);
            continue;
        }
        const event = { key: character, code: key.code, windowsVirtualKeyCode: key.keyCode,
                        modifiers: key.modifiers ?? 0 };
        await devtools.send('Input.dispatchKeyEvent', { type: 'keyDown', text: character, ...event });
        await devtools.send('Input.dispatchKeyEvent', { type: 'keyUp', ...event });
    }
}

// Tests and counts what is typed into the cleared input box through the
// browser's keyboard, dismissing both boxes with Enter, and gives the
// picture of the count.
async function countTyped(text) {
    await click(retryButton);
    await click(inputMemo);
    await typeGerman(text);
    await click(testButton);
    await waitForActive('the box of the character test', isBox);
    await page.keyboard.press('Enter');
    await waitForActive('the window after the character test', isMainWindow);
    await page.keyboard.press('Enter'); // the count, its default button
    await waitForActive('the box of the count', isBox);
    await page.keyboard.press('Enter');
    await waitForActive('the window after the count', isMainWindow);
    return page.screenshot({ clip: counterLabel });
}

try {
    await page.goto(`${address}/`);
    if (await page.title() !== 'Perforon')
        fail(`the page is titled "${await page.title()}"`);
    await waitForActive('the window', isMainWindow);
    console.log(`page check: the window shows at ${frame.left},${frame.top}, its title bar active`);

    // The notices, linked from a corner clear of the window's place.
    const link = await page.locator('#licences').boundingBox();
    if (!link || (link.x < frame.left + frame.width && link.x + link.width > frame.left
                  && link.y < frame.top + frame.height && link.y + link.height > frame.top))
        fail(`the "Lizenzen" link (${JSON.stringify(link)}) is missing or covers the window's place`);
    const notices = await page.evaluate(async () => (await fetch(document.getElementById('licences').href)).text());
    if (!notices.includes('Perforon und was es mitbringt') || !notices.includes('LGPL-3.0'))
        fail('the "Lizenzen" link does not lead to the notices');
    console.log(`page check: "Lizenzen" at ${JSON.stringify(link)} leads to the notices`);

    await click(testButton);
    const box = await waitForActive('the box of "Zeichentest"', isBox);
    if (pictures)
        await page.screenshot({ path: `${pictures}/page-box.png` });
    const offCentre = (box.left + box.right) / 2 - (frame.left + frame.width / 2);
    console.log(`page check: a click on Zeichentest brought up its box, title bar ${JSON.stringify(box)}`);
    if (box.bottom >= cardTop || Math.abs(offCentre) > 3)
        fail(`the box's title bar lies off its place above the card, centred on the window`);
    await page.keyboard.press('Enter');
    await waitForActive('the window after Enter', isMainWindow);
    console.log('page check: Enter dismissed the box');

    await click(retryButton);
    const german = await countTyped('äöüß€');
    const five = await countTyped('ABCDE');
    const four = await countTyped('ABCD');
    if (!german.equals(five) || five.equals(four))
        fail('"äöüß€" typed through the browser does not count five characters');
    console.log('page check: "äöüß€" typed through the browser counts five characters, as "ABCDE" does');

    await click(stopButton);
    await page.waitForFunction(() => getComputedStyle(document.getElementById('notice')).display !== 'none'
                                         && document.getElementById('message').textContent.includes('beendet'),
                               null, { timeout: WaitMs });
    console.log(`page check: Schließen ended the program; the page says "${await page.textContent('#message')}"`);
} finally {
    await browser.close();
}
