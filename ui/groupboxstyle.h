// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

// The application's style, with group boxes drawn as the layout means them,
// whatever the style underneath: an etched frame whose top line runs
// through the middle of the caption, the caption set into that line a
// little in from the left, so no control near the top of the box covers a
// frame line. Styles that centre the caption or draw a plain line (Breeze)
// are not asked to draw a group box at all.
class GroupBoxStyle : public QProxyStyle
{
    Q_OBJECT

public:
    // The one instance, owned by the application.
    static GroupBoxStyle *instance();

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
                         const QWidget *widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget) const override;
};
