// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cardface.h"
#include "recordingmessagebox.h"
#include "showactive.h"
#include "tform1.h"

#include <QAccessible>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QtTest>

// A card face that records the regions it repaints.
class RecordingFace : public CardFace
{
    Q_OBJECT

public:
    using CardFace::CardFace;
    QRegion painted;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        painted += event->region();
        CardFace::paintEvent(event);
    }
};

// Pixel probes on the drawn card, as rendered and as the screen shows it.
// The same probes run at a screen scale of 2 too, where every logical pixel
// is two by two device pixels.
class TestCardFace : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void holeTableFollowsTheRule();
    void startShowsEveryLabelAndNoHole();
    void punchedMarksCoverTheirDigits_data();
    void punchedMarksCoverTheirDigits();
    void rowTwelveCoversTheUpperColumnNumber();
    void clearingRestoresTheStartFace();
    void onlyChangedMarksAreRepainted();
    void partOfTheFaceRepaintsAsTheWhole_data();
    void partOfTheFaceRepaintsAsTheWhole();
    void describesWhatIsPunched();

private:
    void punch(const QString &text);
    QImage grabCard() const;
    // The screen shows the card as it renders, once its repaints are through.
    bool cardReachedTheScreen() const { return screenShowsWidget(form->HoleCardGroup); }
    // Black, background and other pixels in a rectangle of the group box.
    int count(const QImage &card, QRect logical, const std::function<bool(QRgb)> &match) const;
    int blackPixels(const QImage &card, QRect r) const
    {
        return count(card, r, [](QRgb p) { return qGray(p) < 40; });
    }
    // Printed text: black where a stroke covers whole pixels; the smoothed
    // 7-pixel column numbers come as dark as grey 40 at least on Linux and
    // 50 under Wine, both drawn by Qt's FreeType engine.
    int inkPixels(const QImage &card, QRect r) const
    {
        return count(card, r, [](QRgb p) { return qGray(p) < 50; });
    }
    int area(const QImage &card, QRect r) const
    {
        return count(card, r, [](QRgb) { return true; });
    }
    QRect holeInGroup(int position, int column) const
    {
        return CardFace::holeRect(flatIndex(position, column)).translated(form->cardFace()->pos());
    }

    RecordingMessageBox box;
    TForm1 *form = nullptr;
};

void TestCardFace::init()
{
    form = new TForm1(box);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
}

void TestCardFace::cleanup()
{
    delete form;
    form = nullptr;
}

void TestCardFace::punch(const QString &text)
{
    form->InputMemo->setPlainText(text);
    form->ReadyBtnClick();
}

QImage TestCardFace::grabCard() const
{
    return form->HoleCardGroup->grab().toImage();
}

int TestCardFace::count(const QImage &card, QRect logical, const std::function<bool(QRgb)> &match) const
{
    const qreal dpr = card.devicePixelRatio();
    const QRect r(QPoint(qRound(logical.left() * dpr), qRound(logical.top() * dpr)),
                  QSize(qRound(logical.width() * dpr), qRound(logical.height() * dpr)));
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x)
            n += match(card.pixel(x, y)) ? 1 : 0;
    }
    return n;
}

void TestCardFace::holeTableFollowsTheRule()
{
    const int tops[] = {20, 42, 64, 104, 144, 184, 224, 264, 304, 344, 384, 424};
    for (int k = 0; k < CardPositions; ++k) {
        const int column = k % 80 + 1;
        QCOMPARE(CardFace::holeRect(k), QRect(16 * column + 10, tops[k / 80], 10, 20));
    }
    QCOMPARE(form->cardFace()->geometry(), form->HoleCardGroup->rect());
    // Every mark lies inside the group box.
    QVERIFY(form->HoleCardGroup->rect().contains(CardFace::holeRect(CardPositions - 1)));
}

void TestCardFace::startShowsEveryLabelAndNoHole()
{
    const QImage card = grabCard();
    const QPoint origin = form->cardFace()->pos();
    const auto &labels = form->cardFace()->labels();
    QCOMPARE(labels.size(), std::size_t(320 + 800));

    const qreal dpr = card.devicePixelRatio();
    auto pixel = [&card, dpr](QPoint p) { return card.pixel(qRound(p.x() * dpr), qRound(p.y() * dpr)); };
    int digits = 0;
    for (const CardFace::Label &label : labels) {
        const QRect r = label.rect.translated(origin);
        QVERIFY2(inkPixels(card, r) > 0, qPrintable(label.text));
        // Behind the text is the colour the group box shows beside it.
        QCOMPARE(pixel(r.topRight()), pixel(r.topLeft() - QPoint(1, 0)));
        digits += label.digit ? 1 : 0;
    }
    QCOMPARE(digits, 800);
    // Digit rows at 68 + 40 d, column numbers at 25, 92, 250 and 410.
    QCOMPARE(labels.at(0).rect.topLeft(), QPoint(26, 25));
    QCOMPARE(labels.at(80).rect.topLeft(), QPoint(26, 92));
    QCOMPARE(labels.at(239).rect.topLeft(), QPoint(1290, 250));
    QCOMPARE(labels.at(240).rect.topLeft(), QPoint(26, 410));
    QCOMPARE(labels.at(320).text, QStringLiteral("0"));
    QCOMPARE(labels.at(320).rect.topLeft(), QPoint(26, 68));
    QCOMPARE(labels.back().text, QStringLiteral("9"));
    QCOMPARE(labels.back().rect.topLeft(), QPoint(1290, 428));

    for (int k = 0; k < CardPositions; ++k) {
        const QRect hole = CardFace::holeRect(k).translated(origin);
        QVERIFY(blackPixels(card, hole) < area(card, hole));
    }
}

void TestCardFace::punchedMarksCoverTheirDigits_data()
{
    QTest::addColumn<QStringList>("texts"); // punched in turn, without clearing
    QTest::addColumn<int>("column");
    QTest::addColumn<QList<int>>("punched"); // row positions
    QTest::newRow("A in column 1") << QStringList{"A"} << 1 << QList<int>{1, 4};
    QTest::newRow("0 in column 80") << QStringList{QString(79, ' ') + "0"} << 80 << QList<int>{3};
    QTest::newRow("S in column 2") << QStringList{" S"} << 2 << QList<int>{3, 5};
    QTest::newRow("Z9: Z in column 1") << QStringList{"Z9"} << 1 << QList<int>{3, 12};
    QTest::newRow("1, then B: both") << QStringList{"1", "B"} << 1 << QList<int>{1, 4, 5};
}

void TestCardFace::punchedMarksCoverTheirDigits()
{
    QFETCH(QStringList, texts);
    QFETCH(int, column);
    QFETCH(QList<int>, punched);

    for (const QString &text : std::as_const(texts))
        punch(text);
    QVERIFY(cardReachedTheScreen());
    const QImage card = grabCard();
    for (int position = 1; position <= 12; ++position) {
        const QRect hole = holeInGroup(position, column);
        const bool black = blackPixels(card, hole) == area(card, hole);
        QVERIFY2(black == punched.contains(position), qPrintable(QString::number(position)));
        QCOMPARE(form->cardFace()->isHoleVisible(flatIndex(position, column)), punched.contains(position));
        if (position >= 3) {
            // The printed digit shows where its mark does not: its ink
            // outside the mark is background only.
            const QRect digit = hole.adjusted(0, 4, 0, -4);
            QCOMPARE(blackPixels(card, digit) == area(card, digit), punched.contains(position));
        }
    }
    if (texts == QStringList{"A"}) {
        QCOMPARE(holeInGroup(1, 1).topLeft(), QPoint(26, 20));
        QCOMPARE(holeInGroup(4, 1).topLeft(), QPoint(26, 104));
    }
    if (column == 80)
        QCOMPARE(holeInGroup(3, 80).topLeft(), QPoint(1290, 64));
}

void TestCardFace::rowTwelveCoversTheUpperColumnNumber()
{
    const QPoint origin = form->cardFace()->pos();
    const auto &labels = form->cardFace()->labels();
    const QRect number = labels.at(2).rect.translated(origin); // "3" at top 25
    QCOMPARE(labels.at(2).text, QStringLiteral("3"));
    QVERIFY(holeInGroup(1, 3).contains(number));

    // No other row of column numbers meets a mark.
    for (std::size_t i = 80; i < 320; ++i) {
        for (int k = 0; k < CardPositions; ++k)
            QVERIFY(!labels.at(i).rect.intersects(CardFace::holeRect(k)));
    }

    const QImage before = grabCard();
    QVERIFY(blackPixels(before, number) < area(before, number));
    punch("  A");
    const QImage after = grabCard();
    QCOMPARE(blackPixels(after, number), area(after, number));
}

void TestCardFace::clearingRestoresTheStartFace()
{
    const QImage start = grabCard();
    punch("THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QVERIFY(cardReachedTheScreen());
    QVERIFY(grabCard() != start);
    form->RetryBtnClick();
    for (int k = 0; k < CardPositions; ++k)
        QVERIFY(!form->cardFace()->isHoleVisible(k));
    QVERIFY(cardReachedTheScreen());
    QCOMPARE(grabCard(), start);
}

void TestCardFace::onlyChangedMarksAreRepainted()
{
    // The marks that change are scheduled for repaint; the rest of the
    // face is not.
    QWidget host;
    host.resize(1313, 473);
    RecordingFace face(&host);
    face.resize(host.size());
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QTRY_VERIFY(!face.painted.isEmpty());
    face.painted = QRegion();

    TPunchCard card;
    PunchText(card, "A", [] {});
    face.showCard(card);
    QTRY_VERIFY(!face.painted.isEmpty());
    const QRegion expected =
        QRegion(CardFace::holeRect(flatIndex(1, 1))) + CardFace::holeRect(flatIndex(4, 1));
    QVERIFY2((face.painted - expected).isEmpty(), "repainted more than the changed marks");
    QVERIFY2((expected - face.painted).isEmpty(), "a changed mark was not repainted");

    // Showing the same card again schedules nothing.
    face.painted = QRegion();
    face.showCard(card);
    QTest::qWait(50);
    QVERIFY(face.painted.isEmpty());
}

void TestCardFace::partOfTheFaceRepaintsAsTheWhole_data()
{
    QTest::addColumn<QRegion>("part");
    QTest::newRow("left margin and column 1") << QRegion(0, 0, 36, 473);
    QTest::newRow("column 80 and the right margin") << QRegion(1290, 0, 23, 473);
    QTest::newRow("across columns 3 and 4") << QRegion(60, 60, 20, 80);
    QTest::newRow("one digit row") << QRegion(0, 100, 1313, 30);
    QTest::newRow("between two rows") << QRegion(0, 44, 1313, 4);
    // Two rectangles that meet inside the row of zeros.
    QTest::newRow("two rectangles") << QRegion(60, 60, 20, 15) + QRegion(56, 75, 30, 40);
}

void TestCardFace::partOfTheFaceRepaintsAsTheWhole()
{
    QFETCH(QRegion, part);
    punch(QStringLiteral("Z9 ") + QString(76, 'A') + QStringLiteral(" 0"));
    CardFace *face = form->cardFace();
    auto render = [face](const QRegion &region) {
        QImage image(face->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        // The region's corner lands at the offset given.
        face->render(&image, region.boundingRect().topLeft(), region, {});
        return image;
    };
    const QImage partly = render(part);
    const QImage whole = render(face->rect());
    for (const QRect &r : part)
        QCOMPARE(partly.copy(r), whole.copy(r));
}

void TestCardFace::describesWhatIsPunched()
{
    QCOMPARE(form->cardFace()->accessibleDescription(), QStringLiteral("ungestanzt"));
    punch("A B0");
    QCOMPARE(form->cardFace()->accessibleDescription(),
             QStringLiteral("Spalte 1: 12, 1; Spalte 3: 12, 2; Spalte 4: 0"));
    QCOMPARE(QAccessible::queryAccessibleInterface(form->cardFace())->text(QAccessible::Description),
             form->cardFace()->accessibleDescription());
    form->RetryBtnClick();
    QCOMPARE(form->cardFace()->accessibleDescription(), QStringLiteral("ungestanzt"));
}

QTEST_MAIN(TestCardFace)
#include "tst_cardface.moc"
