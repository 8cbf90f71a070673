// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cardface.h"
#include "fontface.h"
#include "glyph.h"
#include "programname.h"
#include "recordingmessagebox.h"
#include "showactive.h"
#include "tform1.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QString sampleSentence =
    QStringLiteral("VERSUCH MOEGLICHST NICHT HOLZ STROMAUF ZU FLOESZEN ES WIRD NICHT FUNKTIONIEREN");

QColor rgb(int r, int g, int b)
{
    return {r, g, b};
}

// The colour of a control's own text, by kind.
QColor textColour(QWidget *w)
{
    if (qobject_cast<QPlainTextEdit *>(w))
        return w->palette().color(QPalette::Active, QPalette::Text);
    if (qobject_cast<QPushButton *>(w))
        return w->palette().color(QPalette::Active, QPalette::ButtonText);
    return w->palette().color(QPalette::Active, QPalette::WindowText);
}

bool containsColour(const QImage &image, const std::function<bool(QColor)> &match)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (match(image.pixelColor(x, y)))
                return true;
        }
    }
    return false;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void windowAndStartState();
    void focusOrder();
    void keyboard_data();
    void keyboard();
    void germanKeyboard_data();
    void germanKeyboard();
    void enterGoesToTheDefaultButtonWhenFocusIsFree();
    void enterWithNoFocusedControl_data();
    void enterWithNoFocusedControl();
    void arrowsMoveAmongSiblings_data();
    void arrowsMoveAmongSiblings();
    void glyphs_data();
    void glyphs();
    void programIconHasEverySize();
    void disabledButtonsShowTheGreyPicture();
    void echoShowsEveryLetter();
    void resizingMovesNothing();
    void scalesToTheTextHeight_data();
    void scalesToTheTextHeight();
    void accessibleNames();
    void taskBarName_data();
    void taskBarName();

private:
    void showActive();
    QWidget *control(const char *name) const { return form->findChild<QWidget *>(name); }

    RecordingMessageBox box;
    TForm1 *form = nullptr;
};

void TestMainWindow::init()
{
    form = new TForm1(box);
}

void TestMainWindow::cleanup()
{
    delete form;
    form = nullptr;
    box.boxes.clear();
    box.whileUp = nullptr;
}

void TestMainWindow::showActive()
{
    QVERIFY(::showActive(form));
}

void TestMainWindow::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("face"); // empty: the window font
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QColor>("fontColour"); // invalid: the system's text colour
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("visible");

    const QColor system;
    const QString window = QStringLiteral("TForm1");
    auto row = [](const char *name, const char *kind, const QString &parent, QRect geometry,
                  const QString &text) -> QTestData & {
        return QTest::newRow(name) << QString(name) << QString(kind) << parent << geometry << text;
    };
    // clang-format off
    row("Panel1", "QFrame", window, {0, 0, 1345, 665}, "") << QString() << 11 << false << false << system << true << true;
    row("CtrlGroup", "QGroupBox", "Panel1", {904, 56, 425, 105}, "Ablaufsteuerung") << QString() << 11 << false << false << system << true << true;
    row("StopBtn", "QPushButton", "CtrlGroup", {216, 64, 201, 25}, "S&chließen") << QString() << 11 << false << false << system << true << true;
    row("RetryBtn", "QPushButton", "CtrlGroup", {8, 64, 201, 25}, "&Wiederholen") << QString() << 11 << false << false << system << false << true;
    row("ReadyBtn", "QPushButton", "CtrlGroup", {216, 32, 201, 25}, "Lochkarte stanzen") << QString() << 11 << false << false << system << false << true;
    row("InputBtn", "QPushButton", "CtrlGroup", {8, 32, 201, 25}, "Eingabetext löschen") << QString() << 11 << false << false << system << true << true;
    row("InpGroup", "QGroupBox", "Panel1", {16, 56, 881, 105}, "Eingabe-Box") << QString() << 11 << false << false << system << true << true;
    row("LabelCounter", "QLabel", "InpGroup", {144, 64, 33, 24}, "???") << "Times New Roman" << 21 << true << true << rgb(0, 128, 0) << true << true;
    row("InputMemo", "QPlainTextEdit", "InpGroup", {8, 16, 857, 25}, sampleSentence + "\n") << "Courier New" << 16 << true << false << rgb(255, 255, 0) << true << true;
    row("CounterBtn", "QPushButton", "InpGroup", {8, 64, 129, 25}, "Character Counter") << QString() << 11 << false << false << system << false << true;
    row("StaticText1", "QLabel", "InpGroup", {184, 72, 55, 17}, "Characters") << QString() << 11 << false << false << system << true << true;
    row("TestBtn", "QPushButton", "InpGroup", {392, 64, 129, 25}, "Zeichentest") << QString() << 11 << false << false << system << true << true;
    row("StaticText2", "QLabel", "InpGroup", {536, 72, 333, 17}, "ACHTUNG: ... nur englische Großbuchtaben, Ziffern und Leerzeichen") << "MS Sans Serif" << 11 << false << false << rgb(255, 0, 0) << true << true;
    row("StaticText6", "QLabel", "InpGroup", {248, 72, 121, 17}, "zu lang - auf 80 kürzen!!!") << QString() << 11 << false << false << system << true << false;
    row("HoleCardGroup", "QGroupBox", "Panel1", {16, 176, 1313, 473}, "Lochkarte") << QString() << 11 << false << false << system << true << true;
    row("StaticText3", "QLabel", "Panel1", {16, 16, 172, 28}, "Perforon ") << "Times New Roman" << 21 << true << true << rgb(128, 0, 0) << true << true;
    row("StaticText4", "QLabel", "Panel1", {1056, 16, 85, 18}, "Beginn: 3.4.2023") << "Times New Roman" << 11 << true << true << rgb(255, 0, 0) << true << true;
    row("StaticText5", "QLabel", "Panel1", {1160, 16, 161, 18}, "Aktueller Arbeitsstand: 16.4.2023") << "Times New Roman" << 11 << true << true << rgb(0, 128, 0) << true << true;
    row("TestMemo", "QPlainTextEdit", "Panel1", {464, 16, 577, 25}, "") << QString() << 11 << false << false << system << false << true;
    row("StaticText7", "QLabel", "Panel1", {320, 16, 143, 18}, "Testfeld für max. 80 Zeiechen") << "Times New Roman" << 11 << true << true << system << true << true;
    // clang-format on
}

void TestMainWindow::layout()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(QString, face);
    QFETCH(int, pixels);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(QColor, fontColour);
    QFETCH(bool, enabled);
    QFETCH(bool, visible);

    QWidget *w = control(qPrintable(name));
    QVERIFY(w);
    QCOMPARE(w->metaObject()->className(), kind);
    QCOMPARE(w->parentWidget()->metaObject()->className() == QStringLiteral("TForm1")
                 ? QStringLiteral("TForm1")
                 : w->parentWidget()->objectName(),
             parent);

    QCOMPARE(w->pos(), geometry.topLeft());
    QCOMPARE(w->height(), geometry.height());
    if (qobject_cast<QLabel *>(w)) {
        // Texts sized to their text may widen for this screen's font, never shrink.
        QVERIFY2(w->width() >= geometry.width(), qPrintable(QString::number(w->width())));
        QVERIFY(w->width() >= w->sizeHint().width());
    } else {
        QCOMPARE(w->width(), geometry.width());
    }

    QString shown;
    if (auto *label = qobject_cast<QLabel *>(w))
        shown = label->text();
    else if (auto *button = qobject_cast<QPushButton *>(w))
        shown = button->text();
    else if (auto *group = qobject_cast<QGroupBox *>(w))
        shown = group->title();
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(w))
        shown = memo->toPlainText();
    QCOMPARE(shown, text);

    QCOMPARE(w->font().family(), installedFace(face.isEmpty() ? "MS Sans Serif" : qPrintable(face)));
    QCOMPARE(w->font().pixelSize(), pixels);
    QCOMPARE(w->font().bold(), bold);
    QCOMPARE(w->font().italic(), italic);
    QCOMPARE(textColour(w),
             fontColour.isValid() ? fontColour : QApplication::palette().color(QPalette::WindowText));
    QCOMPARE(w->isEnabled(), enabled);
    QCOMPARE(w->isHidden(), !visible);
}

void TestMainWindow::windowAndStartState()
{
    QCOMPARE(form->windowTitle(), QStringLiteral("Perforon"));
    QCOMPARE(form->pos(), QPoint(200, 196));
    QCOMPARE(form->size(), QSize(1369, 712)); // no frame here: the client area takes it
    QCOMPARE(form->font().family(), installedFace("MS Sans Serif"));
    QCOMPARE(form->font().pixelSize(), 11);
    QCOMPARE(form->palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window));

    // Yellow bold on navy, and the sample sentence with its line break.
    QCOMPARE(form->InputMemo->palette().color(QPalette::Base), QColor(0, 0, 128));
    QCOMPARE(form->InputText(), sampleSentence.toStdString() + "\r\n");
    QCOMPARE(form->InputMemo->textCursor().blockNumber(), 1);
    QCOMPARE(form->InputMemo->textCursor().positionInBlock(), 0);
    QCOMPARE(form->InputMemo->property("helpKeyword").toString(),
             QStringLiteral("Englische Großbuchstaben, Ziffern sowie Leerzeichen"));
    QVERIFY(form->InputMemo->lineWrapMode() == QPlainTextEdit::WidgetWidth);
    QCOMPARE(form->InputMemo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    showActive();
    // The counter's background is the colour its group box shows beside it.
    const QImage group = form->InpGroup->grab().toImage();
    const QPoint counter = form->LabelCounter->geometry().topRight();
    QCOMPARE(group.pixel(counter), group.pixel(form->LabelCounter->geometry().topLeft() - QPoint(4, 0)));

    QCOMPARE(QApplication::focusWidget(), form->StopBtn);
    // The sentence's line is the one in view, once the window is on screen.
    QTest::qWait(50);
    QCOMPARE(form->InputMemo->cursorForPosition(QPoint(4, 4)).blockNumber(), 0);
    for (int k = 0; k < CardPositions; ++k)
        QVERIFY(!form->cardFace()->isHoleVisible(k));
}

void TestMainWindow::focusOrder()
{
    showActive();
    const QList<QWidget *> forward = {form->StopBtn, form->InputBtn, form->InputMemo, form->TestBtn};
    for (int i = 1; i <= forward.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), forward.at(i % forward.size()));
    }
    for (qsizetype i = forward.size() - 1; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), forward.at(i));
    }

    // Every control that can take the focus, in tab order through the containers.
    const QList<QWidget *> chain = {form->StopBtn,   form->RetryBtn,   form->ReadyBtn, form->InputBtn,
                                    form->InputMemo, form->CounterBtn, form->TestBtn,  form->TestMemo};
    QList<QWidget *> found;
    for (QWidget *w = form->nextInFocusChain(); w != form; w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            found.append(w);
    }
    QCOMPARE(found, chain);
}

void TestMainWindow::keyboard_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("input"); // the input box's text afterwards; "*": unchanged

    const QString unchanged = QStringLiteral("*");
    const int none = Qt::NoModifier;
    QTest::newRow("Enter at start") << "StopBtn" << int(Qt::Key_Return) << none << true << unchanged;
    QTest::newRow("C alone at start") << "StopBtn" << int(Qt::Key_C) << none << true << unchanged;
    QTest::newRow("shifted C on a button")
        << "InputBtn" << int(Qt::Key_C) << int(Qt::ShiftModifier) << true << unchanged;
    QTest::newRow("Alt+C from the input box")
        << "InputMemo" << int(Qt::Key_C) << int(Qt::AltModifier) << true << unchanged;
    QTest::newRow("Alt+Shift+C from the input box")
        << "InputMemo" << int(Qt::Key_C) << int(Qt::AltModifier | Qt::ShiftModifier) << true << unchanged;
    QTest::newRow("Alt+Shift+C on a button")
        << "StopBtn" << int(Qt::Key_C) << int(Qt::AltModifier | Qt::ShiftModifier) << true << unchanged;
    QTest::newRow("Alt+Shift+W in the input box types nothing")
        << "InputMemo" << int(Qt::Key_W) << int(Qt::AltModifier | Qt::ShiftModifier) << false << unchanged;
    QTest::newRow("Alt+T, no mnemonic, in the input box types nothing")
        << "InputMemo" << int(Qt::Key_T) << int(Qt::AltModifier) << false << unchanged;
    QTest::newRow("C typed in the input box")
        << "InputMemo" << int(Qt::Key_C) << none << false << sampleSentence + "\nc";
    QTest::newRow("Ctrl+C on a button")
        << "StopBtn" << int(Qt::Key_C) << int(Qt::ControlModifier) << false << unchanged;
    // Ctrl+Alt is AltGr on Windows: it types, and presses no button.
    QTest::newRow("Ctrl+Alt+C on a button")
        << "StopBtn" << int(Qt::Key_C) << int(Qt::ControlModifier | Qt::AltModifier) << false << unchanged;
    QTest::newRow("Ctrl+Alt+C in the input box")
        << "InputMemo" << int(Qt::Key_C) << int(Qt::ControlModifier | Qt::AltModifier) << false
        << sampleSentence + "\nc";
    QTest::newRow("W while Wiederholen is disabled")
        << "StopBtn" << int(Qt::Key_W) << none << false << unchanged;
    QTest::newRow("Alt+W while Wiederholen is disabled")
        << "InputBtn" << int(Qt::Key_W) << int(Qt::AltModifier) << false << unchanged;
    QTest::newRow("Esc on a button cancels") << "StopBtn" << int(Qt::Key_Escape) << none << false << "";
    QTest::newRow("Esc in the input box") << "InputMemo" << int(Qt::Key_Escape) << none << false << unchanged;
    QTest::newRow("Shift+Esc on a button")
        << "StopBtn" << int(Qt::Key_Escape) << int(Qt::ShiftModifier) << false << unchanged;
    QTest::newRow("Enter in the input box")
        << "InputMemo" << int(Qt::Key_Return) << none << false << sampleSentence + "\n\n";
    QTest::newRow("Enter on the cancel button") << "InputBtn" << int(Qt::Key_Return) << none << false << "";
    QTest::newRow("Space on the close button")
        << "StopBtn" << int(Qt::Key_Space) << none << true << unchanged;
    QTest::newRow("F1 in the input box") << "InputMemo" << int(Qt::Key_F1) << none << false << unchanged;
}

void TestMainWindow::keyboard()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, closes);
    QFETCH(QString, input);

    showActive();
    QWidget *target = control(qPrintable(focus));
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);
    const QString before = form->InputMemo->toPlainText();

    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    // Mnemonics press their button about 100 ms later.
    if (closes)
        QTRY_VERIFY(!form->isVisible());
    else
        QTest::qWait(250);
    QCOMPARE(form->isVisible(), !closes);
    QCOMPARE(form->InputMemo->toPlainText(), input == QStringLiteral("*") ? before : input);
    QVERIFY(box.boxes.isEmpty());
}

void TestMainWindow::germanKeyboard_data()
{
    // Keys as xdotool names them, pressed one after another through the X
    // server with its German layout; what the input box holds afterwards, its
    // echo in the card's Windows-1252 (one character each, "?" where the
    // code page has none), and the button the keys press.
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("echo");
    QTest::addColumn<QString>("pressed");

    const QString memo = QStringLiteral("InputMemo");
    // clang-format off
    QTest::newRow("ä") << "adiaeresis" << memo << "ä" << "ä" << "";
    QTest::newRow("ö") << "odiaeresis" << memo << "ö" << "ö" << "";
    QTest::newRow("ü") << "udiaeresis" << memo << "ü" << "ü" << "";
    QTest::newRow("Shift+ä") << "shift+adiaeresis" << memo << "Ä" << "Ä" << "";
    QTest::newRow("ß") << "ssharp" << memo << "ß" << "ß" << "";
    QTest::newRow("AltGr+E") << "ISO_Level3_Shift+e" << memo << "€" << "€" << "";
    QTest::newRow("dead ^, then a") << "dead_circumflex a" << memo << "â" << "â" << "";
    QTest::newRow("dead ´, then e") << "dead_acute e" << memo << "é" << "é" << "";
    QTest::newRow("Z") << "shift+z" << memo << "Z" << "Z" << "";
    QTest::newRow("Y") << "shift+y" << memo << "Y" << "Y" << "";
    QTest::newRow("AltGr+W in the input box") << "ISO_Level3_Shift+w" << memo << "ſ" << "?" << "";
    QTest::newRow("Alt+W in the input box") << "alt+w" << memo << "" << "" << "RetryBtn";
    QTest::newRow("Alt+C in the input box") << "alt+c" << memo << "" << "" << "StopBtn";
    QTest::newRow("Alt+T in the input box") << "alt+t" << memo << "" << "" << "";
    QTest::newRow("AltGr+W on a button") << "ISO_Level3_Shift+w" << "InputBtn" << "" << "" << "";
    QTest::newRow("AltGr+C on a button") << "ISO_Level3_Shift+c" << "TestBtn" << "" << "" << "";
    // clang-format on
}

void TestMainWindow::germanKeyboard()
{
    QFETCH(QString, keys);
    QFETCH(QString, focus);
    QFETCH(QString, typed);
    QFETCH(QString, echo);
    QFETCH(QString, pressed);
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("the German layout is typed through an X server");
    QByteArray layout;
    QVERIFY(runTool(QStringLiteral("setxkbmap"), {QStringLiteral("-query")}, &layout));
    if (!layout.contains("layout:     de\n"))
        QSKIP("the X server's keyboard layout is not the German one");

    showActive();
    form->InputMemo->clear();
    form->RetryBtn->setEnabled(true);
    auto presses = std::make_shared<QHash<QString, int>>();
    for (QPushButton *button : form->findChildren<QPushButton *>())
        connect(button, &QPushButton::clicked, this,
                [presses, button] { ++(*presses)[button->objectName()]; });
    control(qPrintable(focus))->setFocus();
    QVERIFY(runTool(QStringLiteral("xdotool"), QStringList{"key", "--delay", "20"} + keys.split(' ')));

    // Mnemonics press their button about 100 ms after the key.
    if (pressed.isEmpty()) {
        QTRY_COMPARE(form->InputMemo->toPlainText(), typed);
        QTest::qWait(250);
    } else {
        QTRY_COMPARE(presses->value(pressed), 1);
    }
    QCOMPARE(presses->size(), pressed.isEmpty() ? 0 : 1);
    QCOMPARE(form->InputMemo->toPlainText(), typed);
    if (typed.isEmpty())
        return;

    form->TestBtnClick();
    static const QRegularExpression cardCode(QStringLiteral("^[A-Z0-9 ]*$"));
    const bool accepted = cardCode.match(echo).hasMatch();
    QCOMPARE(box.boxes.first().first, QString::fromLatin1(accepted ? "WOW" : "ACHTUNG"));
    QCOMPARE(form->TestMemo->toPlainText(), echo);
    form->CounterBtnClick();
    QCOMPARE(form->LabelCounter->text(), QString::number(echo.size()));
}

void TestMainWindow::enterGoesToTheDefaultButtonWhenFocusIsFree()
{
    showActive();
    form->TestBtn->setFocus();
    QVERIFY(form->TestBtn->isDefault()); // the focused button takes Enter
    QVERIFY(!form->CounterBtn->isDefault());

    // Enter presses the focused test button; disabling it leaves the focus
    // with the window, so the next Enter goes to the default button.
    QTest::keyClick(form->TestBtn, Qt::Key_Return);
    QCOMPARE(box.boxes.size(), 1);
    QCOMPARE(QApplication::focusWidget(), form);
    QVERIFY(form->CounterBtn->isDefault());
    QTest::keyClick(form, Qt::Key_Return);
    QCOMPARE(box.boxes.size(), 2);
    QVERIFY(!form->CounterBtn->isEnabled());
    QVERIFY(form->ReadyBtn->isEnabled());
    QVERIFY(!form->CounterBtn->isDefault());

    // In the input box Enter is the box's own, and no button looks default.
    form->InputMemo->setFocus();
    QVERIFY(!form->TestBtn->isDefault() && !form->CounterBtn->isDefault());
}

void TestMainWindow::enterWithNoFocusedControl_data()
{
    QTest::addColumn<QStringList>("clicked"); // the steps before
    QTest::addColumn<QString>("pressed");     // the button Enter presses; empty: none

    const QStringList punched = {"TestBtn", "CounterBtn", "ReadyBtn"};
    QTest::newRow("start") << QStringList{} << "TestBtn";
    QTest::newRow("tested") << QStringList{"TestBtn"} << "CounterBtn";
    QTest::newRow("counted") << QStringList{"TestBtn", "CounterBtn"} << "";
    QTest::newRow("punched") << punched << "";
    QTest::newRow("repeated") << punched + QStringList{"RetryBtn"} << "TestBtn";
    QTest::newRow("tested again") << punched + QStringList{"RetryBtn", "TestBtn"} << "CounterBtn";
}

void TestMainWindow::enterWithNoFocusedControl()
{
    QFETCH(QStringList, clicked);
    QFETCH(QString, pressed);

    showActive();
    for (const QString &name : clicked)
        qobject_cast<QPushButton *>(control(qPrintable(name)))->click();
    form->setFocus();
    QCOMPARE(QApplication::focusWidget(), form);

    QList<QPair<QString, QSharedPointer<QSignalSpy>>> spies;
    for (QPushButton *button : form->findChildren<QPushButton *>()) {
        // The button Enter would press is the one drawn as default.
        QCOMPARE(button->isDefault(), button->objectName() == pressed);
        spies.append(
            {button->objectName(), QSharedPointer<QSignalSpy>::create(button, &QPushButton::clicked)});
    }
    QTest::keyClick(form, Qt::Key_Return);
    for (const auto &[name, spy] : std::as_const(spies))
        QCOMPARE(qMakePair(name, spy->count()), qMakePair(name, qsizetype(name == pressed ? 1 : 0)));
}

void TestMainWindow::arrowsMoveAmongSiblings_data()
{
    QTest::addColumn<bool>("retryEnabled");
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("to");
    const int none = Qt::NoModifier;

    QTest::newRow("right skips disabled buttons")
        << false << "StopBtn" << int(Qt::Key_Right) << none << "InputBtn";
    QTest::newRow("down wraps to the first") << false << "InputBtn" << int(Qt::Key_Down) << none << "StopBtn";
    QTest::newRow("left wraps to the last") << false << "StopBtn" << int(Qt::Key_Left) << none << "InputBtn";
    QTest::newRow("right to an enabled sibling")
        << true << "StopBtn" << int(Qt::Key_Right) << none << "RetryBtn";
    QTest::newRow("up from the cancel button") << true << "InputBtn" << int(Qt::Key_Up) << none << "RetryBtn";
    QTest::newRow("right wraps past the texts")
        << false << "TestBtn" << int(Qt::Key_Right) << none << "InputMemo";
    QTest::newRow("left into the input box")
        << false << "TestBtn" << int(Qt::Key_Left) << none << "InputMemo";
    QTest::newRow("Alt+Right stays") << false << "StopBtn" << int(Qt::Key_Right) << int(Qt::AltModifier)
                                     << "StopBtn";
    QTest::newRow("Alt+Down stays in its group")
        << false << "TestBtn" << int(Qt::Key_Down) << int(Qt::AltModifier) << "TestBtn";
}

void TestMainWindow::arrowsMoveAmongSiblings()
{
    QFETCH(bool, retryEnabled);
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, to);

    showActive();
    form->RetryBtn->setEnabled(retryEnabled);
    control(qPrintable(from))->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(QApplication::focusWidget()->objectName(), to);

    // The input box keeps its arrows for the caret.
    form->InputMemo->setFocus();
    QTest::keyClick(form->InputMemo, Qt::Key(key));
    QCOMPARE(QApplication::focusWidget(), form->InputMemo);
}

void TestMainWindow::glyphs_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("height");
    QTest::newRow("close") << "BBCLOSE"
                           << "StopBtn" << 18;
    QTest::newRow("retry") << "BBRETRY"
                           << "RetryBtn" << 18;
    QTest::newRow("all") << "BBALL"
                         << "ReadyBtn" << 19;
    QTest::newRow("cancel") << "BBCANCEL"
                            << "InputBtn" << 18;
    QTest::newRow("ok") << "BBOK"
                        << "CounterBtn" << 18;
    QTest::newRow("yes") << "BBYES"
                         << "TestBtn" << 18;
}

void TestMainWindow::glyphs()
{
    QFETCH(QString, name);
    QFETCH(QString, button);
    QFETCH(int, height);

    // A 16-colour bitmap of two 18-pixel-wide pictures.
    QFile file(QStringLiteral(":/glyphs/%1.bmp").arg(name));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.left(2), QByteArray("BM"));
    QCOMPARE(int(quint8(bytes.at(28))), 4); // bits per pixel
    const QImage bitmap = QImage::fromData(bytes);
    QCOMPARE(bitmap.size(), QSize(36, height));
    QVERIFY(bitmap.colorCount() <= 16);

    // The lower-left colour is transparent in both pictures; the left
    // picture is the enabled one, the right the disabled one.
    const QIcon icon = loadGlyph(name);
    const QImage enabled = icon.pixmap(QSize(18, height), QIcon::Normal).toImage();
    const QImage disabled = icon.pixmap(QSize(18, height), QIcon::Disabled).toImage();
    QCOMPARE(enabled.size(), QSize(18, height));
    const QRgb transparent = bitmap.pixel(0, height - 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < 18; ++x) {
            QCOMPARE(qAlpha(enabled.pixel(x, y)) == 0, bitmap.pixel(x, y) == transparent);
            QCOMPARE(qAlpha(disabled.pixel(x, y)) == 0, bitmap.pixel(18 + x, y) == transparent);
        }
    }
    QCOMPARE(qobject_cast<QPushButton *>(control(qPrintable(button)))->iconSize(), QSize(18, height));
}

void TestMainWindow::programIconHasEverySize()
{
    QCOMPARE(programIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {256, 256}}));
}

void TestMainWindow::disabledButtonsShowTheGreyPicture()
{
    showActive();
    auto green = [](QColor c) { return c.green() > 100 && c.red() < 60 && c.blue() < 60; };
    QVERIFY(containsColour(form->TestBtn->grab().toImage(), green));
    QVERIFY(!containsColour(form->CounterBtn->grab().toImage(), green));
    form->CounterBtn->setEnabled(true);
    QVERIFY(containsColour(form->CounterBtn->grab().toImage(), green));
}

void TestMainWindow::echoShowsEveryLetter()
{
    // The disabled test field draws every letter of the card code, the thin
    // I included, where its font places it: some pixel of each stands out
    // from the field by at least half the contrast of its grey text.
    showActive();
    const QString letters = QStringLiteral("A B C D E F G H I J K L M N O P Q R S T U V W X Y Z");
    form->InputMemo->setPlainText(letters);
    form->TestBtnClick();
    QPlainTextEdit *field = form->TestMemo;
    QCOMPARE(field->toPlainText(), letters);

    const QImage shot = field->grab().toImage();
    const qreal dpr = shot.devicePixelRatio();
    const QPoint viewport = field->viewport()->mapTo(field, QPoint());
    const int background = qGray(field->palette().color(QPalette::Disabled, QPalette::Base).rgb());
    const int text = qGray(field->palette().color(QPalette::Disabled, QPalette::Text).rgb());
    QTextCursor cursor(field->document());
    for (int i = 0; i < letters.size(); i += 2) {
        cursor.setPosition(i);
        const QRect before = field->cursorRect(cursor);
        cursor.setPosition(i + 1);
        const QRect letter =
            QRect(before.topLeft(), QPoint(field->cursorRect(cursor).left(), before.bottom()))
                .translated(viewport);
        int ink = 0;
        for (int y = qRound(letter.top() * dpr); y < qRound((letter.bottom() + 1) * dpr); ++y) {
            for (int x = qRound(letter.left() * dpr); x < qRound((letter.right() + 1) * dpr); ++x)
                ink += 2 * qAbs(qGray(shot.pixel(x, y)) - background) >= qAbs(text - background) ? 1 : 0;
        }
        QVERIFY2(ink > 0, qPrintable(letters.at(i)));
    }
}

void TestMainWindow::resizingMovesNothing()
{
    showActive();
    QHash<QWidget *, QRect> before;
    for (QWidget *w : form->findChildren<QWidget *>())
        before.insert(w, w->geometry());
    for (QSize size : {QSize(700, 400), QSize(1900, 1000)}) {
        form->resize(size);
        QTRY_COMPARE(form->size(), size);
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QCOMPARE(it.key()->geometry(), it.value());
    }
}

void TestMainWindow::scalesToTheTextHeight_data()
{
    QTest::addColumn<int>("textHeight");
    QTest::addColumn<QRect>("panel");
    QTest::addColumn<QRect>("inputGroup");
    QTest::addColumn<QRect>("stopButton");
    QTest::addColumn<QRect>("inputBox");
    QTest::addColumn<QRect>("cardGroup");
    QTest::addColumn<QList<int>>("fontSizes"); // input box, count, date

    QTest::newRow("26 px, twice the design")
        << 26 << QRect(0, 0, 2690, 1330) << QRect(32, 112, 1762, 210) << QRect(432, 128, 402, 50)
        << QRect(16, 32, 1714, 50) << QRect(32, 352, 2626, 946) << QList<int>{32, 42, 22};
    // Heights that are no multiple of 13 round each figure to the nearest
    // pixel, halves up, as the fonts are.
    QTest::newRow("16 px") << 16 << QRect(0, 0, 1655, 818) << QRect(20, 69, 1084, 129)
                           << QRect(266, 79, 247, 31) << QRect(10, 20, 1055, 31) << QRect(20, 217, 1616, 582)
                           << QList<int>{20, 26, 14};
    QTest::newRow("20 px") << 20 << QRect(0, 0, 2069, 1023) << QRect(25, 86, 1355, 162)
                           << QRect(332, 98, 309, 38) << QRect(12, 25, 1318, 38) << QRect(25, 271, 2020, 728)
                           << QList<int>{25, 32, 17};
}

void TestMainWindow::scalesToTheTextHeight()
{
    QFETCH(int, textHeight);
    QFETCH(QRect, panel);
    QFETCH(QRect, inputGroup);
    QFETCH(QRect, stopButton);
    QFETCH(QRect, inputBox);
    QFETCH(QRect, cardGroup);
    QFETCH(QList<int>, fontSizes);

    // On this machine's fonts the window font has the 13-pixel height the
    // layout was made for, so nothing is scaled.
    QCOMPARE(TForm1::measuredTextHeight(), 13);

    RecordingMessageBox otherBox;
    TForm1 large(otherBox, textHeight);
    QCOMPARE(large.size(), QSize(1369, 712));
    QCOMPARE(large.Panel1->geometry(), panel);
    QCOMPARE(large.InpGroup->geometry(), inputGroup);
    QCOMPARE(large.StopBtn->geometry(), stopButton);
    QCOMPARE(large.InputMemo->geometry(), inputBox);
    QCOMPARE(large.HoleCardGroup->geometry(), cardGroup);
    QCOMPARE((QList<int>{large.InputMemo->font().pixelSize(), large.LabelCounter->font().pixelSize(),
                         large.StaticText4->font().pixelSize()}),
             fontSizes);
    QCOMPARE(large.font().pixelSize(), 11); // the window font is what was measured
    // The card face keeps its fixed positions.
    QCOMPARE(CardFace::holeRect(0), QRect(26, 20, 10, 20));
}

void TestMainWindow::accessibleNames()
{
    const QList<QPair<QWidget *, QString>> expected = {
        {form->StopBtn, "Schließen"},
        {form->InputBtn, "Eingabetext löschen"},
        {form->TestBtn, "Zeichentest"},
        {form->InputMemo, "Eingabe-Box"},
        {form->TestMemo, "Testfeld für max. 80 Zeiechen"},
        {form->LabelCounter, "???"},
        {form->StaticText2, "ACHTUNG: ... nur englische Großbuchtaben, Ziffern und Leerzeichen"},
        {form->HoleCardGroup, "Lochkarte"},
    };
    for (const auto &[widget, name] : expected) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(a);
        QCOMPARE(a->text(QAccessible::Name), name);
    }
    // One window, with panels and groups in it; the disabled test field
    // takes no typing.
    QCOMPARE(QAccessible::queryAccessibleInterface(form)->role(), QAccessible::Window);
    QCOMPARE(QAccessible::queryAccessibleInterface(form->Panel1)->role(), QAccessible::Pane);
    QCOMPARE(QAccessible::queryAccessibleInterface(form->InpGroup)->role(), QAccessible::Grouping);
    QVERIFY(QAccessible::queryAccessibleInterface(form->InputMemo)->state().editable);
    QAccessibleInterface *echo = QAccessible::queryAccessibleInterface(form->TestMemo);
    QVERIFY(!echo->state().editable);
    echo->editableTextInterface()->insertText(0, QStringLiteral("X"));
    echo->setText(QAccessible::Value, QStringLiteral("Y"));
    QCOMPARE(form->TestMemo->toPlainText(), QString());

    // Every control that shows or takes text has a name.
    for (QWidget *w : form->findChildren<QWidget *>()) {
        if (qobject_cast<QAbstractButton *>(w) || qobject_cast<QPlainTextEdit *>(w)
            || qobject_cast<QLabel *>(w))
            QVERIFY2(!QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).isEmpty(),
                     qPrintable(w->objectName()));
    }
}

void TestMainWindow::taskBarName_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("name");
    QTest::newRow("lower case") << "perforon"
                                << "perforon";
    QTest::newRow("Windows file name") << "PERFORON.EXE"
                                       << "Perforon";
    QTest::newRow("with a path") << "/usr/local/bin/perforon"
                                 << "perforon";
    QTest::newRow("cut at the first dot") << "Loch.Karte.exe"
                                          << "Loch";
    QTest::newRow("mixed case") << "pErFoRoN"
                                << "perforon";
    QTest::newRow("empty") << ""
                           << "";
    if (QDir::separator() == QLatin1Char('\\'))
        QTest::newRow("with a Windows path") << R"(C:\Programme\Perforon\perforon.exe)"
                                             << "perforon";
}

void TestMainWindow::taskBarName()
{
    QFETCH(QString, file);
    QFETCH(QString, name);
    QCOMPARE(::taskBarName(file), name);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
