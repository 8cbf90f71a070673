#include "cardface.h"

#include "fontface.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QtMath>

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

constexpr int holeTop(int position)
{
    int top = FirstHoleTop;
    for (int p = 1; p < position; ++p)
        top += p <= 2 ? ZoneRowPitch : DigitRowPitch;
    return top;
}

QStaticText preparedText(const QString &text, const QFont &font)
{
    QStaticText prepared(text);
    prepared.setTextFormat(Qt::PlainText);
    prepared.prepare(QTransform(), font);
    return prepared;
}

QFont labelFont(int pixels)
{
    QFont font(installedFace(LabelFace));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

} // namespace

CardFace::CardFace(QWidget *parent)
    : QWidget(parent), columnNumberFont(labelFont(ColumnNumberPixels)), digitFont(labelFont(DigitPixels))
{
    setAccessibleName(QStringLiteral("Lochkarte"));
    setAccessibleDescription(describe(visibleHoles));

    // Built in the order they stack: column numbers, then digits; the hole
    // marks are painted over all of them.
    std::vector<QStaticText> columnNumbers;
    for (int column = 1; column <= CardColumns; ++column)
        columnNumbers.push_back(preparedText(QString::number(column), columnNumberFont));

    printedLabels.reserve(LabelCount);
    for (int top : UpperColumnNumberTops)
        addLabelRow(top, columnNumbers, false);
    for (int top : LowerColumnNumberTops)
        addLabelRow(top, columnNumbers, false);
    for (int d = 0; d <= 9; ++d) {
        const std::vector<QStaticText> digit(CardColumns, preparedText(QString::number(d), digitFont));
        addLabelRow(FirstDigitTop + DigitRowPitch * d, digit, true);
    }
}

void CardFace::addLabelRow(int top, const std::vector<QStaticText> &captions, bool digit)
{
    const int height = QFontMetrics(digit ? digitFont : columnNumberFont).height();
    for (int column = 1; column <= CardColumns; ++column) {
        const QStaticText &caption = captions[column - 1];
        // Auto-sized to the caption, as a label is.
        const QRect rect(columnLeft(column), top, qCeil(caption.size().width()), height);
        printedLabels.push_back({rect, caption, digit});
    }
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
    const QRegion &exposed = event->region();
    QPainter painter(this);
    painter.setPen(Qt::black);

    bool digitFontSet = false;
    painter.setFont(columnNumberFont);
    for (const Label &label : printedLabels) {
        if (!exposed.intersects(label.rect))
            continue;
        if (label.digit && !digitFontSet) { // the digits come after all column numbers
            painter.setFont(digitFont);
            digitFontSet = true;
        }
        // Behind the text is the group box's own colour, as it paints it.
        painter.drawStaticText(label.rect.topLeft(), label.caption);
    }
    for (int index = 0; index < CardPositions; ++index) {
        if (!visibleHoles.test(static_cast<std::size_t>(index)))
            continue;
        const QRect hole = holeRect(index);
        if (exposed.intersects(hole))
            painter.fillRect(hole, Qt::black); // black fill in a black outline
    }
}
