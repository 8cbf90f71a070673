// SPDX-FileCopyrightText: 2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The page as a screen reader meets it, in headless Chromium, whose
// accessibility tree is what screen readers read:
//     node checkreader.mjs FOLDER PICTURES
// From the keyboard alone: Tab reaches the page's switch and Enter turns
// screen-reader support on; then the whole operator sequence is worked
// through the tree's own elements: test, count, punch with a rejection's box
// up, and repeat. After each step the tree holds the six buttons with their
// enabled state, the input box and the test field with their text, the count,
// the card with what it shows, and each box as a dialog with its title and
// text. PICTURES gets the tree with the rejection's box up, as text.

import { launch, newPage, pause, serve } from './browser.mjs';
import { writeFileSync } from 'node:fs';
import { resolve } from 'node:path';

const [folder, pictures] = process.argv.slice(2);
const WaitMs = 60000;

function fail(message) {
    console.log(`screen-reader check: ${message}`);
    process.exit(1);
}
const say = message => console.log(`screen-reader check: ${message}`);

const address = await serve(resolve(folder));
const browser = await launch('chromium');
const page = await newPage(browser);
const devtools = await page.createCDPSession();

// The accessibility tree as screen readers get it: its nodes by role, name,
// value, description and whether they are disabled.
async function tree() {
    const { nodes } = await devtools.send('Accessibility.getFullAXTree');
    return nodes.filter(node => !node.ignored).map(node => ({
        role: node.role?.value,
        name: node.name?.value ?? '',
        value: node.value?.value ?? '',
        description: node.description?.value ?? '',
        disabled: (node.properties ?? []).some(p => p.name === 'disabled' && p.value.value),
        focused: (node.properties ?? []).some(p => p.name === 'focused' && p.value.value),
    }));
}

const buttons = ['Schließen', 'Wiederholen', 'Lochkarte stanzen', 'Eingabetext löschen',
                 'Character Counter', 'Zeichentest'];

// What the tree says of the window and its box, in one line per part.
function reading(nodes) {
    const find = (role, name) => nodes.find(node => node.role === role && node.name === name);
    const lines = [];
    for (const name of buttons) {
        const button = find('button', name);
        lines.push(button ? `${name}: ${button.disabled ? 'disabled' : 'enabled'}` : `${name}: missing`);
    }
    const input = find('textbox', 'Eingabe-Box');
    const echo = find('textbox', 'Testfeld für max. 80 Zeiechen');
    lines.push(`input box: ${input ? JSON.stringify(input.value) : 'missing'}`);
    lines.push(`test field: ${echo ? JSON.stringify(echo.value) : 'missing'}`);
    // The count is the one text of digits alone, or "???" before the first.
    const count = nodes.find(node => node.role === 'StaticText' && /^(\?\?\?|\d+)$/.test(node.name));
    lines.push(`count: ${count ? count.name : 'missing'}`);
    const card = nodes.find(node => node.role === 'image' && node.name === 'Lochkarte');
    lines.push(`card: ${card ? card.description : 'missing'}`);
    for (const dialog of nodes.filter(node => node.role === 'dialog'))
        lines.push(`dialog "${dialog.name}": ${dialog.description}`);
    return lines;
}

// Waits until the tree reads as the test expects; the lines it expects
// are given by their beginnings.
async function waitForReading(step, expected) {
    const deadline = Date.now() + WaitMs;
    let lines;
    while (Date.now() < deadline) {
        lines = reading(await tree());
        if (expected.every(want => lines.some(line => line === want || line.startsWith(want))))
            return lines;
        await pause(200);
    }
    fail(`${step}: the tree reads\n  ${lines.join('\n  ')}\nexpected\n  ${expected.join('\n  ')}`);
}

// Presses a button of the tree as a screen reader's user does: the reader
// moves the keyboard focus to it, and Enter presses it.
async function press(name) {
    const found = await page.evaluate(name => {
        const button = [...document.querySelectorAll('#accessible button')].find(b => b.textContent === name);
        button?.focus();
        return document.activeElement === button;
    }, name);
    if (!found)
        fail(`the button "${name}" cannot take the focus`);
    await page.keyboard.press('Enter');
}

// The button of the box that has the focus, pressed with Enter; the box
// leaves the tree.
async function dismissBox(step) {
    const focused = (await tree()).find(node => node.focused && node.role === 'button');
    if (!focused)
        fail(`${step}: the box's button does not have the focus`);
    await page.keyboard.press('Enter');
    const deadline = Date.now() + WaitMs;
    while ((await tree()).some(node => node.role === 'dialog')) {
        if (Date.now() > deadline)
            fail(`${step}: Enter on the box's button leaves the box in the tree`);
        await pause(100);
    }
}

const enabled = (...names) => buttons.map(name => `${name}: ${names.includes(name) ? 'enabled' : 'disabled'}`);
const sample = 'VERSUCH MOEGLICHST NICHT HOLZ STROMAUF ZU FLOESZEN ES WIRD NICHT FUNKTIONIEREN';

try {
    await page.goto(`${address}/`);
    await page.waitForFunction(() => document.querySelector('#qt-shadow-container'), { timeout: WaitMs });
    const hint = (await tree()).find(node => node.role === 'button' && node.name.includes('Bildschirmleser'));
    if (!hint)
        fail('the tree has no switch for screen readers');
    await page.keyboard.press('Tab');
    const focus = await page.evaluate(() => {
        const outer = document.activeElement;
        const inner = outer?.shadowRoot?.activeElement;
        return `${outer?.tagName}#${outer?.id}` + (inner ? ` > ${inner.tagName}.${inner.className}` : '');
    });
    if (focus !== 'BUTTON#readerswitch')
        fail(`Tab does not reach the switch first (it reaches ${focus})`);
    await page.keyboard.press('Enter');
    say(`Tab and Enter on "${hint.name}" switched it on`);

    await waitForReading('at start', [...enabled('Schließen', 'Eingabetext löschen', 'Zeichentest'),
        // The sentence stands in the box with its line break, the caret on
        // the empty line after it.
        `input box: ${JSON.stringify(sample + '\n')}`, 'test field: ""', 'count: ???', 'card: ungestanzt']);
    say('at start: six buttons with their state, input box, test field, count and card');

    // The line break after the sentence is no character of the card code.
    await press('Zeichentest');
    await waitForReading('the test', ['dialog "ACHTUNG"']);
    await dismissBox('the test');
    await waitForReading('after the test', [...enabled('Schließen', 'Character Counter', 'Wiederholen'),
        `test field: ${JSON.stringify(sample + '\n')}`]);
    say('test: its box read as a dialog, the echo in the test field');

    // The line break counts as two characters, CR and LF, as on the desktop.
    const count = sample.length + 2;
    await press('Character Counter');
    await waitForReading('the count', ['dialog "WOW": Zeichenzahl zulässig', `count: ${count}`]);
    await dismissBox('the count');
    await waitForReading('after the count',
                         [...enabled('Schließen', 'Lochkarte stanzen', 'Wiederholen'), `count: ${count}`]);
    say(`count: its box read as a dialog, the count ${count}`);

    // A line with a character the card code lacks, typed into the tree's
    // input box: punching it brings up a rejection.
    await press('Wiederholen');
    await waitForReading('after repeat', ['input box: ""', 'card: ungestanzt']);
    await page.evaluate(() => document.querySelector('#accessible textarea:not([readonly])').focus());
    await page.keyboard.type('AB?C');
    await waitForReading('typing', ['input box: "AB?C"']);
    await press('Zeichentest');
    await waitForReading('the test of "AB?C"', ['dialog "ACHTUNG": Eingabetext falsch']);
    await dismissBox('the test of "AB?C"');
    await waitForReading('after the test of "AB?C"', enabled('Schließen', 'Character Counter', 'Wiederholen'));
    await press('Character Counter');
    await waitForReading('the count of "AB?C"', ['dialog "WOW": Zeichenzahl zulässig', 'count: 4']);
    await dismissBox('the count of "AB?C"');
    await waitForReading('after the count of "AB?C"', enabled('Schließen', 'Lochkarte stanzen', 'Wiederholen'));
    await press('Lochkarte stanzen');
    const rejection = await waitForReading('the rejection', ['dialog "ACHTUNG": Zeichen nicht in der definierten Menge!', 'card: Spalte 1: 12, 1; Spalte 2: 12, 2']);
    if (pictures)
        writeFileSync(`${pictures}/reader-rejection.txt`, rejection.join('\n') + '\n');
    say(`punch: the rejection read as ${rejection.find(line => line.startsWith('dialog'))}, ` +
        `with the card as punched so far: ${rejection.find(line => line.startsWith('card'))}`);
    await dismissBox('the rejection');
    await waitForReading('after the punch', [...enabled('Schließen', 'Wiederholen'), 'card: Spalte 1: 12, 1; Spalte 2: 12, 2; Spalte 4']);

    await press('Wiederholen');
    await waitForReading('after repeat', [...enabled('Schließen', 'Eingabetext löschen', 'Zeichentest', 'Wiederholen'),
        'input box: ""', 'card: ungestanzt']);
    say('repeat: the input box and the card empty again');
} finally {
    await browser.close();
}
