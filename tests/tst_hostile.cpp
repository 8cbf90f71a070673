// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "applicationmessagebox.h"
#include "boxanswerer.h"
#include "hollerith.h"
#include "recordingmessagebox.h"
#include "showactive.h"
#include "tform1.h"

#include <QAccessible>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <bitset>

namespace {

// A line of the box as the card sees it: characters of the card code stay,
// everything else becomes one rejected character; a line break is two.
std::string cardView(const QString &text)
{
    std::string view;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            view += "\r\n";
        } else if (c.unicode() < 0x80 && inCardCode(char(c.unicode()))) {
            view += char(c.unicode());
        } else {
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ++i;
            view += '\x01';
        }
    }
    return view;
}

// The routes by which the operator, or assistive technology on the
// operator's behalf, could reach the window while a box is up.
enum class Route { MouseAndKeys, AccessiblePress, AccessibleText };

QString repeated(const QString &piece, qsizetype size)
{
    QString text;
    text.reserve(size + piece.size());
    while (text.size() < size)
        text += piece;
    return text;
}

} // namespace

Q_DECLARE_METATYPE(Route)

class TestHostile : public QObject
{
    Q_OBJECT

private slots:
    void pastedTexts_data();
    void pastedTexts();
    void inputWhileABoxIsUpIsBlocked_data();
    void inputWhileABoxIsUpIsBlocked();
    void burstOfKeysAndClicks();
};

void TestHostile::pastedTexts_data()
{
    QTest::addColumn<QString>("text");
    const qsizetype mebibyte = 1 << 20;
    QTest::newRow("1 MiB in one line") << repeated("HOLZ 42 a ", mebibyte);
    QTest::newRow("1 MiB of lines") << repeated("ZU FLOESZEN\n", mebibyte);
    QTest::newRow("NUL and control characters")
        << QString("A") + QChar(0) + "B\t\x1b\x7f" + QChar(0x85) + "C";
    QTest::newRow("outside Windows-1252") << QString::fromUtf8("ΩЖあ\u200B\uFFFFZ");
    QTest::newRow("emoji") << QString::fromUtf8("A😀B🃏\U0001F1E9\U0001F1EA");
    QTest::newRow("only line breaks") << QString(90, '\n');
    QTest::newRow("80 columns and more") << QString(79, 'X') + QString::fromUtf8("😀😀") + "Y";
    // Characters that Qt's plain-text conversions change: the box's own text
    // keeps them, and so must what the checks read.
    QTest::newRow("no-break space") << QString("A") + QChar(QChar::Nbsp) + "B";
    QTest::newRow("line and paragraph separators") << QString("A") + QChar(QChar::LineSeparator) + "B"
            + QChar(QChar::ParagraphSeparator) + "C" + QChar(0xFDD0) + "D";
}

void TestHostile::pastedTexts()
{
    QFETCH(QString, text);
    RecordingMessageBox box;
    TForm1 form(box);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QTest::mouseClick(form.InputBtn, Qt::LeftButton);
    QApplication::clipboard()->setText(text);
    form.InputMemo->setFocus();
    QTest::keyClick(form.InputMemo, Qt::Key_V, Qt::ControlModifier);

    const std::string view = cardView(form.InputMemo->document()->toRawText());
    QTest::mouseClick(form.TestBtn, Qt::LeftButton);
    QTest::mouseClick(form.CounterBtn, Qt::LeftButton);
    QCOMPARE(form.LabelCounter->text(), QString::number(view.size()));
    // A long count shows whole.
    QVERIFY(form.LabelCounter->width() >= form.LabelCounter->sizeHint().width());
    QCOMPARE(form.StaticText6->isVisible(), view.size() > 80);
    QCOMPARE(box.takeBoxes().size(), 2);

    QTest::mouseClick(form.ReadyBtn, Qt::LeftButton);
    std::bitset<CardPositions> expected;
    qsizetype rejections = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(view.size(), 80); ++i) {
        rejections += inCardCode(view[i]) ? 0 : 1;
        for (int position : expectedPositions(view[i]))
            expected.set(std::size_t(position - 1) * 80 + i);
    }
    QCOMPARE(box.takeBoxes().size(), rejections);
    QVERIFY(rejections <= 80);
    QCOMPARE(form.card().holes(), expected);
    QVERIFY(form.RetryBtn->isEnabled() && !form.ReadyBtn->isEnabled());

    // Still answering: a queued event is handled at once.
    bool handled = false;
    QTimer::singleShot(0, &form, [&handled] { handled = true; });
    QTRY_VERIFY_WITH_TIMEOUT(handled, 1000);
}

void TestHostile::inputWhileABoxIsUpIsBlocked_data()
{
    QTest::addColumn<Route>("route");
    QTest::newRow("mouse clicks and keys") << Route::MouseAndKeys;
    QTest::newRow("accessible presses") << Route::AccessiblePress;
    QTest::newRow("accessible text changes") << Route::AccessibleText;
}

void TestHostile::inputWhileABoxIsUpIsBlocked()
{
    // While a box is up, whatever is aimed at the window is dropped: the
    // punch runs to its end undisturbed, whatever was pressed or typed.
    QFETCH(Route, route);
    ApplicationMessageBox realBox;
    TForm1 form(realBox);
    QVERIFY(showActive(&form));

    const QList<QPushButton *> buttons = {form.RetryBtn, form.ReadyBtn, form.CounterBtn,
                                          form.StopBtn,  form.TestBtn,  form.InputBtn};
    form.InputMemo->setPlainText("AbCdEfGhIj\n\n");
    BoxAnswerer answerer([&](QMessageBox *) {
        QWindow *window = form.windowHandle();
        switch (route) {
        case Route::MouseAndKeys:
            for (QPushButton *b : buttons)
                QTest::mouseClick(window, Qt::LeftButton, {}, b->mapTo(&form, b->rect().center()));
            for (Qt::Key key : {Qt::Key_W, Qt::Key_Escape, Qt::Key_C, Qt::Key_Return})
                QTest::keyClick(window, key);
            QTest::keyClick(window, Qt::Key_W, Qt::AltModifier);
            break;
        case Route::AccessiblePress:
            for (QPushButton *b : buttons) {
                QAccessibleInterface *button = QAccessible::queryAccessibleInterface(b);
                button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            }
            break;
        case Route::AccessibleText:
            for (QWidget *memo : {form.InputMemo, form.TestMemo}) {
                QAccessibleInterface *box = QAccessible::queryAccessibleInterface(memo);
                box->editableTextInterface()->insertText(0, QStringLiteral("X"));
                box->editableTextInterface()->deleteText(0, 1);
                box->editableTextInterface()->replaceText(0, -1, QStringLiteral("Y"));
                box->setText(QAccessible::Value, QStringLiteral("Z"));
            }
            break;
        }
    });
    QTest::mouseClick(form.TestBtn, Qt::LeftButton);
    QTest::mouseClick(form.CounterBtn, Qt::LeftButton);
    QTest::mouseClick(form.ReadyBtn, Qt::LeftButton);
    // A press that got through would click once its button has shown it
    // pressed.
    QTRY_VERIFY(std::none_of(buttons.begin(), buttons.end(), [](QPushButton *b) { return b->isDown(); }));

    QCOMPARE(answerer.answered, 2 + 5 + 4); // test, count, five lower-case letters, two line breaks
    QVERIFY(form.isVisible());
    QVERIFY(form.RetryBtn->isEnabled());
    QVERIFY(!form.ReadyBtn->isEnabled() && !form.TestBtn->isEnabled() && !form.InputBtn->isEnabled());
    QCOMPARE(form.card().holes().count(), 10u); // A C E G I: zone and digit each
    QCOMPARE(form.InputMemo->toPlainText(), QStringLiteral("AbCdEfGhIj\n\n"));
    QCOMPARE(form.TestMemo->toPlainText(), QStringLiteral("AbCdEfGhIj\n\n"));
}

void TestHostile::burstOfKeysAndClicks()
{
    // Many presses in a row with the boxes answered as they come: every
    // step runs to its end, and the window always stands in a state of the
    // sequence with a card that matches what was punched.
    RecordingMessageBox box;
    TForm1 form(box);
    QVERIFY(showActive(&form));

    QList<QPushButton *> buttons = {form.InputBtn, form.TestBtn, form.CounterBtn, form.ReadyBtn,
                                    form.RetryBtn};
    const QSet<QString> states = {"110001", "001011", "000111", "000011", "110011"};
    for (int round = 0; round < 200; ++round) {
        QPushButton *b = buttons.at(round % buttons.size());
        QTest::mouseClick(b, Qt::LeftButton); // a disabled button ignores it
        // Enter and Esc wherever the focus is, short of closing the window.
        if (QApplication::focusWidget() != form.StopBtn)
            QTest::keyClick(QApplication::focusWidget(), round % 3 ? Qt::Key_Return : Qt::Key_Escape);
        if (round % 7 == 0)
            QTest::keyClick(form.windowHandle(), Qt::Key_W, Qt::AltModifier);
        if (round % 11 == 0)
            form.InputMemo->setPlainText(round % 2 ? "AB" : "Z9x");

        QString flags;
        for (QPushButton *s :
             {form.InputBtn, form.TestBtn, form.CounterBtn, form.ReadyBtn, form.RetryBtn, form.StopBtn})
            flags += s->isEnabled() ? '1' : '0';
        QVERIFY2(states.contains(flags), qPrintable(flags));
        // The card holds nothing but whole characters of the card code.
        const auto holes = form.card().holes();
        for (int column = 1; column <= 80; ++column) {
            int zone = 0, digit = 0;
            for (int p = 1; p <= 12; ++p)
                (p <= 2 ? zone : digit) += holes.test(std::size_t((p - 1) * 80 + column - 1)) ? 1 : 0;
            QVERIFY(zone + digit <= 3);
        }
    }
}

QTEST_MAIN(TestHostile)
#include "tst_hostile.moc"
