// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cardface.h"

#include "fontface.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>
#include <QTextLayout>
#include <QtMath>

#include <algorithm>

namespace {

constexpr int ColumnPitch = 16;
constexpr int ColumnOffset = 10; // left edge of column c: 16 * c + 10
constexpr int HoleWidth = 10;
constexpr int HoleHeight = 20;
constexpr int FirstHoleTop = 20;
constexpr int ZoneRowPitch = 22;  // after row positions 1 and 2
constexpr int DigitRowPitch = 40; // after every later position

constexpr int UpperColumnNumberTops[] = {25, 92};
constexpr int LowerColumnNumberTops[] = {250, 410};
constexpr int FirstDigitTop = 68;
constexpr int LabelCount = (2 + 2 + 10) * CardColumns;

constexpr const char *LabelFace = "Courier New";
constexpr int ColumnNumberPixels = 7; // 5 pt at 96 dpi
constexpr int DigitPixels = 16;       // 12 pt at 96 dpi

constexpr int columnLeft(int column)
{
    return ColumnPitch * column + ColumnOffset;
}

// The column whose pitch holds x, at the card's edges its first or last.
constexpr int columnAt(int x)
{
    return std::clamp((x - ColumnOffset) / ColumnPitch, 1, CardColumns);
}

constexpr int holeTop(int position)
{
    int top = FirstHoleTop;
    for (int p = 1; p < position; ++p)
        top += p <= 2 ? ZoneRowPitch : DigitRowPitch;
    return top;
}

QFont labelFont(int pixels)
{
    QFont font(installedFace(LabelFace));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

} // namespace

CardFace::CardFace(QWidget *parent) : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Lochkarte"));
    setAccessibleDescription(describe(visibleHoles));

    // Built in the order they stack: column numbers, then digits; the hole
    // marks are painted over all of them.
    const Digits small = layOutDigits(labelFont(ColumnNumberPixels));
    const Digits large = layOutDigits(labelFont(DigitPixels));
    QStringList columnNumbers;
    for (int column = 1; column <= CardColumns; ++column)
        columnNumbers.append(QString::number(column));

    printedLabels.reserve(LabelCount);
    for (int top : UpperColumnNumberTops)
        addRow(top, small, columnNumbers, false);
    for (int top : LowerColumnNumberTops)
        addRow(top, small, columnNumbers, false);
    for (int d = 0; d <= 9; ++d)
        addRow(FirstDigitTop + DigitRowPitch * d, large, QStringList(CardColumns, QString::number(d)), true);
}

CardFace::Digits CardFace::layOutDigits(const QFont &font)
{
    // The digits once more after the 9, so that the 9 has an advance too.
    QTextLayout layout(QStringLiteral("01234567890"), font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();

    Digits digits;
    digits.height = QFontMetrics(font).height();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.isEmpty() || runs.first().glyphIndexes().size() != 11)
        return digits; // a face without digits prints none
    const QGlyphRun &run = runs.first();
    const QList<quint32> glyphs = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    digits.font = run.rawFont();
    digits.baseline = positions.first().y();
    for (int d = 0; d <= 9; ++d) {
        digits.glyph[d] = glyphs.at(d);
        digits.advance[d] = positions.at(d + 1).x() - positions.at(d).x();
    }
    return digits;
}

void CardFace::addRow(int top, const Digits &digits, const QStringList &texts, bool digit)
{
    PrintedRow row;
    row.font = digits.font;
    row.rect = QRect(columnLeft(1), top, columnLeft(CardColumns + 1) - columnLeft(1), digits.height);
    for (int column = 1; column <= CardColumns; ++column) {
        const QString &text = texts.at(column - 1);
        row.columnStart.push_back(int(row.glyphs.size()));
        qreal x = columnLeft(column);
        for (QChar c : text) {
            const int d = c.digitValue();
            row.glyphs.push_back(digits.glyph[d]);
            row.positions.emplace_back(x, top + digits.baseline);
            x += digits.advance[d];
        }
        // Auto-sized to its text, as a label is.
        const QRect rect(columnLeft(column), top, qCeil(x - columnLeft(column)), digits.height);
        printedLabels.push_back({rect, text, digit});
    }
    row.columnStart.push_back(int(row.glyphs.size()));
    if (digits.font.isValid())
        printedRows.push_back(std::move(row));
}

QRect CardFace::holeRect(int index)
{
    const int position = index / CardColumns + 1;
    const int column = index % CardColumns + 1;
    return {columnLeft(column), holeTop(position), HoleWidth, HoleHeight};
}

void CardFace::showCard(const TPunchCard &card)
{
    const std::bitset<CardPositions> changed = visibleHoles ^ card.holes();
    if (changed.none())
        return;
    visibleHoles = card.holes();
    for (int index = 0; index < CardPositions; ++index) {
        if (changed.test(static_cast<std::size_t>(index)))
            update(holeRect(index));
    }
    setAccessibleDescription(describe(visibleHoles));
}

QString CardFace::describe(const std::bitset<CardPositions> &holes)
{
    QStringList columns;
    for (int column = 1; column <= CardColumns; ++column) {
        QStringList rows;
        for (int position = 1; position <= CardRows; ++position) {
            if (holes.test(static_cast<std::size_t>(flatIndex(position, column))))
                rows.append(QString::number(cardRow(position)));
        }
        if (!rows.isEmpty())
            columns.append(QStringLiteral("Spalte %1: %2").arg(column).arg(rows.join(QStringLiteral(", "))));
    }
    return columns.isEmpty() ? QStringLiteral("ungestanzt") : columns.join(QStringLiteral("; "));
}

void CardFace::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setPen(Qt::black);
    // Each rectangle of the exposed region draws its own columns, clipped to
    // itself so that no glyph is blended twice where two rectangles meet.
    for (const QRect &exposed : event->region()) {
        const int first = columnAt(exposed.left());
        const int last = columnAt(exposed.right());
        painter.setClipRect(exposed);
        // Behind the text is the group box's own colour, as it paints it.
        for (const PrintedRow &row : printedRows) {
            if (!row.rect.intersects(exposed))
                continue;
            const int begin = row.columnStart[first - 1];
            QGlyphRun run;
            run.setRawFont(row.font);
            run.setRawData(row.glyphs.data() + begin, row.positions.data() + begin,
                           row.columnStart[last] - begin);
            painter.drawGlyphRun(QPointF(), run);
        }
        for (int position = 1; position <= CardRows; ++position) {
            for (int column = first; column <= last; ++column) {
                const int index = flatIndex(position, column);
                if (!visibleHoles.test(static_cast<std::size_t>(index)))
                    continue;
                const QRect hole = holeRect(index);
                if (exposed.intersects(hole))
                    painter.fillRect(hole, Qt::black); // black fill in a black outline
            }
        }
    }
}
