// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the page of the zip's folder as a visitor would, in a headless
// browser (PERFORON_BROWSER):  node checkpage.mjs FOLDER PICTURES
// The page loads and shows the window at its place; a click on
// "Zeichentest" brings up its box, above the card and centred on the
// window, and Enter dismisses it; German characters typed through the
// browser's keyboard count one each; a line pasted from the clipboard
// arrives whole; "Schließen" ends the program and the page says so. A small
// link beside the window's place leads to the notices. PICTURES gets the
// page with the box up.

import { allowClipboard, browserName, launch, newPage, pause, serve } from './browser.mjs';
import { resolve } from 'node:path';

const [folder, pictures] = process.argv.slice(2);
const WaitMs = 60000;

// The window's place, and its client area inside the frame Qt for
// WebAssembly draws around it: a border of 4 pixels and a title bar of 22.
const frame = { left: 200, top: 196, width: 1369, height: 712 };
const client = { left: frame.left + 4, top: frame.top + 26 };
// Controls by their place in the window's client area.
const at = (x, y) => ({ x: client.left + x, y: client.top + y });
const inputMemo = at(16 + 8 + 400, 56 + 16 + 12);
const testButton = at(16 + 392 + 64, 56 + 64 + 12);
const retryButton = at(904 + 8 + 100, 56 + 64 + 12);
const stopButton = at(904 + 216 + 100, 56 + 64 + 12);
const counterLabel = { x: client.left + 16 + 144, y: client.top + 56 + 64, width: 60, height: 24 };
const cardTop = client.top + 176;

function fail(message) {
    console.log(`page check in ${browserName}: ${message}`);
    process.exit(1);
}
const say = message => console.log(`page check in ${browserName}: ${message}`);

const address = await serve(resolve(folder));
const browser = await launch();
const page = await newPage(browser);
await allowClipboard(browser, address);

// The page's windows, as Qt for WebAssembly lays them out: each an element
// of its own, marked while it is not the active one.
async function activeWindow() {
    return page.evaluate(() => {
        const shadow = document.querySelector('#qt-shadow-container')?.shadowRoot;
        const active = [...(shadow?.querySelectorAll('.qt-window:not(.inactive)') ?? [])]
                           .filter(window => window.getBoundingClientRect().width > 0);
        if (active.length !== 1)
            return null;
        const r = active[0].getBoundingClientRect();
        return { left: r.left, top: r.top, right: r.right, bottom: r.bottom, id: active[0].id };
    });
}

// Waits until the active window is one the test names.
async function waitForActive(what, isIt) {
    const deadline = Date.now() + WaitMs;
    let window;
    while (Date.now() < deadline) {
        window = await activeWindow();
        if (window && isIt(window))
            return window;
        await pause(100);
    }
    // Where the page's keyboard focus is, inside Qt's shadow root or not.
    const focus = await page.evaluate(() => {
        const name = e => e ? `${e.tagName.toLowerCase()}${e.id ? '#' + e.id : ''}${e.className ? '.' + String(e.className).split(' ').join('.') : ''}` : 'none';
        const outer = document.activeElement;
        const inner = outer?.shadowRoot?.activeElement;
        const windows = [...(outer?.shadowRoot?.querySelectorAll('.qt-window') ?? [])]
            .map(w => `${w.id}${w.classList.contains('inactive') ? '' : ' (active)'} at ${Math.round(w.getBoundingClientRect().left)}`);
        return (inner ? `${name(inner)} (in ${name(outer)}), window ${name(inner.closest('.qt-window'))}` : name(outer))
               + `; windows: ${windows.join(', ')}`;
    });
    fail(`${what} did not become the active window (active window: ${JSON.stringify(window)}; keyboard focus: ${focus})`);
}

const isMainWindow = w => w.left === frame.left && w.top === frame.top && w.right === frame.left + frame.width
                          && w.bottom === frame.top + frame.height;
const isBox = w => w.top > frame.top && w.right - w.left < frame.width - 10;

async function click(point) {
    await page.mouse.click(point.x, point.y);
}

// The keys of a German keyboard, as Chromium reports them: each character
// with the key that types it. The driver's own keyboard is an American one,
// without these keys; Firefox is given the characters themselves.
const germanKeys = {
    'ä': { code: 'Quote', keyCode: 222 },
    'ö': { code: 'Semicolon', keyCode: 186 },
    'ü': { code: 'BracketLeft', keyCode: 219 },
    'ß': { code: 'Minus', keyCode: 189 },
    '€': { code: 'KeyE', keyCode: 69, modifiers: 6 }, // AltGr: Ctrl and Alt, as Windows has it
};
const devtools = browserName === 'chromium' ? await page.createCDPSession() : null;

async function typeGerman(text) {
    for (const character of text) {
        const key = germanKeys[character];
        if (!key || !devtools) {
            await page.keyboard.type(character);
            continue;
        }
        const event = { key: character, code: key.code, windowsVirtualKeyCode: key.keyCode,
                        modifiers: key.modifiers ?? 0 };
        await devtools.send('Input.dispatchKeyEvent', { type: 'keyDown', text: character, ...event });
        await devtools.send('Input.dispatchKeyEvent', { type: 'keyUp', ...event });
    }
}

// Tests and counts what is entered into the cleared input box, typed
// through the browser's keyboard or pasted, dismissing both boxes with
// Enter, and gives the picture of the count.
async function countEntered(text, enter = typeGerman) {
    await click(retryButton);
    await click(inputMemo);
    await enter(text);
    await click(testButton);
    await waitForActive('the box of the character test', isBox);
    await page.keyboard.press('Enter');
    await waitForActive('the window after the character test', isMainWindow);
    await page.keyboard.press('Enter'); // the count, its default button
    await waitForActive('the box of the count', isBox);
    await page.keyboard.press('Enter');
    await waitForActive('the window after the count', isMainWindow);
    return Buffer.from(await page.screenshot({ clip: counterLabel }));
}

// Puts a line on the system clipboard, as another program would, and
// pastes it with Ctrl+V.
async function paste(text) {
    await page.evaluate(text => navigator.clipboard.writeText(text), text);
    await page.keyboard.down('Control');
    await page.keyboard.press('KeyV');
    await page.keyboard.up('Control');
}

try {
    await page.goto(`${address}/`);
    if (await page.title() !== 'Perforon')
        fail(`the page is titled "${await page.title()}"`);
    const mainWindow = await waitForActive('the window', isMainWindow);
    say(`the window shows at ${frame.left},${frame.top}, active`);

    // The notices, linked from a corner clear of the window's place.
    const link = await (await page.$('#licences')).boundingBox();
    if (!link || (link.x < frame.left + frame.width && link.x + link.width > frame.left
                  && link.y < frame.top + frame.height && link.y + link.height > frame.top))
        fail(`the "Lizenzen" link (${JSON.stringify(link)}) is missing or covers the window's place`);
    const notices = await page.evaluate(async () => (await fetch(document.getElementById('licences').href)).text());
    if (!notices.includes('Perforon und was es mitbringt') || !notices.includes('LGPL-3.0'))
        fail('the "Lizenzen" link does not lead to the notices');
    say(`"Lizenzen" at ${JSON.stringify(link)} leads to the notices`);

    await click(testButton);
    const box = await waitForActive('the box of "Zeichentest"', isBox);
    if (pictures)
        await page.screenshot({ path: `${pictures}/page-box-${browserName}.png` });
    const offCentre = (box.left + box.right) / 2 - (frame.left + frame.width / 2);
    say(`a click on Zeichentest brought up its box at ${JSON.stringify(box)}`);
    if (box.bottom >= cardTop || Math.abs(offCentre) > 3)
        fail(`the box lies off its place above the card, centred on the window`);
    await page.keyboard.press('Enter');
    await waitForActive('the window after Enter', isMainWindow);
    say('Enter dismissed the box');

    // Enter twice at once, as a quick hand gives it: the first closes the
    // box, the second presses the default button, "Character Counter",
    // before the closed box's loop has woken. The count's box comes up and
    // answers Enter. (The first key's release finds its box gone.)
    await click(retryButton);
    await click(testButton);
    const testBox = await waitForActive('the box of "Zeichentest" again', isBox);
    await page.evaluate((box, window) => {
        const shadow = document.querySelector('#qt-shadow-container').shadowRoot;
        for (const id of [box, window]) {
            for (const type of ['keydown', 'keyup'])
                [...shadow.querySelectorAll('.qt-window')].find(w => w.id === id)?.dispatchEvent(new KeyboardEvent(type, {
                    key: 'Enter', code: 'Enter', keyCode: 13, bubbles: true, cancelable: true, composed: true }));
        }
    }, testBox.id, mainWindow.id);
    await waitForActive('the box of the count after Enter twice at once', w => isBox(w) && w.id !== testBox.id);
    await page.keyboard.press('Enter');
    await waitForActive('the window after the count\'s box', isMainWindow);
    say('Enter twice at once: the box closed, the count\'s box came up and Enter dismissed it');

    await click(retryButton);
    const german = await countEntered('äöüß€');
    const five = await countEntered('ABCDE');
    const four = await countEntered('ABCD');
    if (!german.equals(five) || five.equals(four))
        fail('"äöüß€" typed through the browser does not count five characters');
    say('"äöüß€" typed through the browser counts five characters, as "ABCDE" does');
    const pasted = await countEntered('HOLZ 42 STROM', paste);
    const thirteen = await countEntered('ABCDEFGHIJKLM');
    if (!pasted.equals(thirteen))
        fail('"HOLZ 42 STROM" pasted from the clipboard with Ctrl+V does not count 13 characters');
    say('"HOLZ 42 STROM" pasted from the clipboard with Ctrl+V counts 13 characters');

    await click(stopButton);
    await page.waitForFunction(() => getComputedStyle(document.getElementById('notice')).display !== 'none'
                                         && document.getElementById('message').textContent.includes('beendet'),
                               { timeout: WaitMs });
    say(`Schließen ended the program; the page says "${await page.$eval('#message', m => m.textContent)}"`);
} finally {
    await browser.close();
}
