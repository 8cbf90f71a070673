// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "lightcolours.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleHints>

namespace {

// The light button face of a classic desktop.
constexpr QColor ClassicButtonFace(240, 240, 240);

// The style's light palette as it would paint with it: its standard one,
// or the classic one where that is the desktop's dark palette (as Fusion's
// is under a dark desktop theme).
QPalette lightPalette(QStyle *style)
{
    QPalette palette = style->standardPalette();
    if (isDark(palette))
        palette = QPalette(ClassicButtonFace);
    style->polish(palette);
    return palette;
}

} // namespace

bool isDark(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

void keepLightColours()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Where the platform follows a colour-scheme request (Windows' dark
    // mode), the system's own light colours come back.
    QGuiApplication::styleHints()->setColorScheme(Qt::ColorScheme::Light);
#endif
    // A style that turns even a light palette dark (Adwaita-Dark,
    // HighContrastInverse) paints only dark: Qt's own Fusion stands in.
    if (isDark(lightPalette(QApplication::style())))
        QApplication::setStyle(QStringLiteral("Fusion"));
    if (isDark(QApplication::palette()))
        QApplication::setPalette(lightPalette(QApplication::style()));
}
