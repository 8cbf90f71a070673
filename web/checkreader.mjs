// SPDX-FileCopyrightText: 2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The page as a screen reader meets it, in headless Chromium and Firefox ESR,
// whose accessibility trees are what screen readers read:
//     node checkreader.mjs FOLDER PICTURES
// From the keyboard alone: Tab reaches the page's switch and Enter turns
// screen-reader support on; then the operator sequence is worked through
// the tree's own elements. While a box is up it is the one dialog in the
// tree, the window behind it is not in the tree, and whatever still reaches
// the window's elements from the page is refused; the box's button and the
// next step's pressed at once close the box and bring up the next one's,
// with the focus on its button; a box dismissed gives the focus back to the
// window. In Chromium, whose whole tree the DevTools protocol gives, the
// whole sequence follows: test, count, punch with a rejection's box up, and
// repeat, and after each step the tree holds the six buttons with their
// enabled state, the input box and the test field with their text, the
// count, the card with what it shows, and each box as a dialog with its
// title and text. PICTURES gets the tree with the rejection's box up, as
// text. PERFORON_BROWSER picks the browser.

import { browserName, launch, newPage, pause, serve } from './browser.mjs';
import { writeFileSync } from 'node:fs';
import { resolve } from 'node:path';

const [folder, pictures] = process.argv.slice(2);
const WaitMs = 60000;

function fail(message) {
    console.log(`screen-reader check (${browserName}): ${message}`);
    process.exit(1);
}
const say = message => console.log(`screen-reader check (${browserName}): ${message}`);

const address = await serve(resolve(folder));
const browser = await launch();
const page = await newPage(browser);
const chromium = browserName === 'chromium';
const devtools = chromium ? await page.createCDPSession() : undefined;

// How many nodes of the role given, and the name where one is given, the
// browser's accessibility tree holds: what a reader can reach.
async function inTree(role, name) {
    const named = name === undefined ? '' : `[name="${name}"]`;
    return (await page.$$(`::-p-aria([role="${role}"]${named})`)).length;
}

// Waits until a condition given as a function holds.
async function waitFor(step, what, condition) {
    const deadline = Date.now() + WaitMs;
    while (!(await condition())) {
        if (Date.now() > deadline)
            fail(`${step}: ${what} does not come`);
        await pause(100);
    }
}

// Where the page's keyboard focus is: the element of the window, of a
// box's button, or another.
const focusIs = () => page.evaluate(() => {
    const focused = document.activeElement;
    if (focused?.tagName === 'SECTION')
        return 'window';
    if (focused?.tagName === 'BUTTON' && focused.closest('[role="dialog"]'))
        return "box's button";
    return `${focused?.tagName} "${focused?.textContent}"`;
});

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
// leaves the tree, and the focus goes back to the window.
async function dismissBox(step) {
    if (await focusIs() !== "box's button")
        fail(`${step}: the box's button does not have the focus (${await focusIs()} has it)`);
    await page.keyboard.press('Enter');
    await waitFor(step, 'the box leaving the tree after Enter', async () => await inTree('dialog') === 0);
    await waitFor(step, 'the focus on the window', async () => await focusIs() === 'window');
}

// While a box is up it is the tree's one dialog and the window's controls
// are out of the tree. A click on each of the window's buttons and a text
// typed into its input box, sent from the page all the same, are refused:
// the program has taken them, in the order sent, once the input box shows
// the program's text again, and the box is still the one dialog.
async function checkBlocked(step) {
    await waitFor(step, 'one dialog in the tree', async () => await inTree('dialog') === 1);
    for (const name of buttons) {
        if (await inTree('button', name))
            fail(`${step}: the window's "${name}" is in the tree while the box is up`);
    }
    if (await inTree('textbox', 'Eingabe-Box'))
        fail(`${step}: the window's input box is in the tree while the box is up`);
    const text = await page.evaluate(() => {
        const input = document.querySelector('#accessible section textarea:not([readonly])');
        const before = input.value;
        for (const button of document.querySelectorAll('#accessible section button'))
            button.click();
        input.value = 'QQQ';
        input.dispatchEvent(new Event('input'));
        return before;
    });
    await waitFor(step, 'the input box showing the program\'s text again', () => page.evaluate(
        text => document.querySelector('#accessible section textarea:not([readonly])').value === text, text));
    if (await inTree('dialog') !== 1)
        fail(`${step}: ${await inTree('dialog')} dialogs in the tree after the window's controls were pressed`);
}

// The button of the box that is up and the window's button given, clicked
// from the page at once: the box goes, and the button's box comes in its
// place, in the tree, with the focus on its button.
async function dismissAndPress(step, name, title) {
    await page.evaluate(name => {
        document.querySelector('#accessible [role="dialog"] button').click();
        [...document.querySelectorAll('#accessible section button')].find(b => b.textContent === name).click();
    }, name);
    await waitFor(step, `the dialog "${title}" alone in the tree`,
                  async () => await inTree('dialog', title) === 1 && await inTree('dialog') === 1);
    await waitFor(step, "the focus on the box's button", async () => await focusIs() === "box's button");
}

const enabled = (...names) => buttons.map(name => `${name}: ${names.includes(name) ? 'enabled' : 'disabled'}`);
const sample = 'VERSUCH MOEGLICHST NICHT HOLZ STROMAUF ZU FLOESZEN ES WIRD NICHT FUNKTIONIEREN';

try {
    await page.goto(`${address}/`);
    await page.waitForFunction(() => document.querySelector('#qt-shadow-container'), { timeout: WaitMs });
    const hint = 'Bildschirmleser-Unterstützung einschalten';
    if (!(await inTree('button', hint)))
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
    say(`Tab and Enter on "${hint}" switched it on`);

    if (chromium) {
        await waitForReading('at start', [...enabled('Schließen', 'Eingabetext löschen', 'Zeichentest'),
            // The sentence stands in the box with its line break, the caret on
            // the empty line after it.
            `input box: ${JSON.stringify(sample + '\n')}`, 'test field: ""', 'count: ???', 'card: ungestanzt']);
        say('at start: six buttons with their state, input box, test field, count and card');
    } else {
        await waitFor('at start', 'the window in the tree', async () => await inTree('button', 'Zeichentest') === 1);
    }

    // The line break after the sentence is no character of the card code.
    await press('Zeichentest');
    if (chromium)
        await waitForReading('the test', ['dialog "ACHTUNG"']);
    await checkBlocked('the test');
    say('test: its box the one dialog, the window out of the tree, and presses and typing sent to it refused');

    // The line break counts as two characters, CR and LF, as on the desktop.
    const count = sample.length + 2;
    await dismissAndPress('OK and count', 'Character Counter', 'WOW');
    if (chromium) {
        await waitForReading('the count', ['dialog "WOW": Zeichenzahl zulässig']);
    }
    await dismissBox('the count');
    // The test's step ran to its end before the count's: the echo stands in
    // the test field.
    await waitFor('after the count', 'the echo in the test field', () => page.evaluate(
        echo => document.querySelector('#accessible section textarea[readonly]')?.value === echo, sample + '\n'));
    say('OK and the count pressed at once: the test ran to its end, the next box in the tree with the focus on ' +
        'its button; dismissed, the focus on the window');
    // The rest of the sequence, read from Chromium's whole tree.
    if (chromium) {
        await waitForReading('after the count', [...enabled('Schließen', 'Lochkarte stanzen', 'Wiederholen'),
            `count: ${count}`, `test field: ${JSON.stringify(sample + '\n')}`]);
        say(`count: its box read as a dialog, then the count ${count} and the echo in the test field`);

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
        await waitForReading('the count of "AB?C"', ['dialog "WOW": Zeichenzahl zulässig']);
        await dismissBox('the count of "AB?C"');
        await waitForReading('after the count of "AB?C"',
                             [...enabled('Schließen', 'Lochkarte stanzen', 'Wiederholen'), 'count: 4']);
        await press('Lochkarte stanzen');
        const rejection = await waitForReading('the rejection', ['dialog "ACHTUNG": Zeichen nicht in der definierten Menge!']);
        if (pictures)
            writeFileSync(`${pictures}/reader-rejection.txt`, rejection.join('\n') + '\n');
        await dismissBox('the rejection');
        const punched = await waitForReading('after the punch', [...enabled('Schließen', 'Wiederholen'),
            'card: Spalte 1: 12, 1; Spalte 2: 12, 2; Spalte 4']);
        say(`punch: the rejection read as ${rejection.find(line => line.startsWith('dialog'))}, ` +
            `then the card as punched: ${punched.find(line => line.startsWith('card'))}`);

        await press('Wiederholen');
        await waitForReading('after repeat', [...enabled('Schließen', 'Eingabetext löschen', 'Zeichentest', 'Wiederholen'),
            'input box: ""', 'card: ungestanzt']);
        say('repeat: the input box and the card empty again');
    }
} finally {
    await browser.close();
}
