// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QPalette;

// The window keeps the light colours its layout was drawn for: the fixed
// colours of the texts and the card's black print are legible only on a
// light button face. A light system palette, a light high-contrast one
// included, is kept as it is; a dark one gives way to the style's standard
// light palette. A style that has no light palette gives way to Fusion.
// Run once, after the application is made and before any window.
void keepLightColours();

// Whether the palette draws light text on a dark window.
bool isDark(const QPalette &palette);
