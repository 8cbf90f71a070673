#pragma once

#include "punchcard.h"

#include <QFont>
#include <QStaticText>
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

    struct Label
    {
        QRect rect;
        QStaticText caption; // laid out once; labels of one caption share it
        bool digit;          // a printed digit, not a column number
    };
    const std::vector<Label> &labels() const { return printedLabels; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void addLabelRow(int top, const std::vector<QStaticText> &captions, bool digit);

    QFont columnNumberFont;
    QFont digitFont;
    std::vector<Label> printedLabels;
    std::bitset<CardPositions> visibleHoles;
};
