// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "punchcard.h"

#include <QFont>
#include <QPointF>
#include <QRawFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <bitset>
#include <vector>

// The drawn card: four rows of small column numbers, ten rows of printed
// digits 0 to 9 in every column, and one black hole mark per card position
// that shows while the position is punched. Placed over the whole client
// area of its group box, it paints only labels and marks, so the box's
// frame and caption show through.
class CardFace : public QWidget
{
    Q_OBJECT

public:
    explicit CardFace(QWidget *parent = nullptr);

    // Mirrors the card: shows the hole marks of its punched positions and
    // hides the others; only the marks that change are repainted.
    void showCard(const TPunchCard &card);

    // What the face shows, in words, for assistive technology: each punched
    // column with its card rows ("Spalte 3: 12, 2").
    static QString describe(const std::bitset<CardPositions> &holes);

    bool isHoleVisible(int index) const { return visibleHoles.test(static_cast<std::size_t>(index)); }

    // The hole mark of a flat card index, in the face's coordinates.
    static QRect holeRect(int index);

    // A printed label: a column number or a digit, auto-sized to its text.
    struct Label
    {
        QRect rect;
        QString text;
        bool digit; // a printed digit, not a column number
    };
    const std::vector<Label> &labels() const { return printedLabels; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The digits 0 to 9 of one label font: their glyphs, as laid out once,
    // and the label height.
    struct Digits
    {
        QRawFont font;
        quint32 glyph[10] = {};
        qreal advance[10] = {};
        qreal baseline = 0;
        int height = 0;
    };
    static Digits layOutDigits(const QFont &font);

    // One printed row as one run of glyphs in the face's coordinates. The
    // glyphs of column c are those from columnStart[c - 1] to columnStart[c].
    struct PrintedRow
    {
        QRect rect;
        QRawFont font;
        std::vector<quint32> glyphs;
        std::vector<QPointF> positions;
        std::vector<int> columnStart;
    };

    void addRow(int top, const Digits &digits, const QStringList &texts, bool digit);

    std::vector<Label> printedLabels;
    std::vector<PrintedRow> printedRows;
    std::bitset<CardPositions> visibleHoles;
};
