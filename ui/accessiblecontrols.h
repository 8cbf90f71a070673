// SPDX-FileCopyrightText: 2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Whether a message box is up that blocks the window of the widget given.
// While it is, the window takes nothing from anyone: Qt keeps the mouse and
// keys from it, and the program's accessible controls refuse presses and
// text changes from assistive technology.
bool blockedByBox(const QWidget *widget);

// Gives assistive technology the program's own view of its controls: the
// main window as a window and its panel as a panel; its buttons and text
// boxes as Qt shows them, but refusing what a blocked window must not take
// and, in a read-only box, every edit. Installed once; later calls do
// nothing.
void installAccessibleControls();
