// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "applicationmessagebox.h"
#include "boxanswerer.h"
#include "cardface.h"
#include "hollerith.h"
#include "inputtext.h"
#include "recordingmessagebox.h"
#include "showactive.h"
#include "tform1.h"

#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

#include <bitset>
#include <optional>

namespace {

using Box = RecordingMessageBox::Box;

const QString sentence =
    QStringLiteral("VERSUCH MOEGLICHST NICHT HOLZ STROMAUF ZU FLOESZEN ES WIRD NICHT FUNKTIONIEREN");
const Box charactersCorrect{"WOW", "Eingabetext korrekt"};
const Box charactersWrong{"ACHTUNG",
                          "Eingabetext falsch nur englischsprachige Großbuchstaben, Ziffern "
                          "sowie Leerzeichen sind zugelassen - bitte korrigieren!"};
const Box lengthPermitted{"WOW", "Zeichenzahl zulässig"};
const Box lengthTooLong{"ACHTUNG",
                        "Zeichenanzhl zu groß - kürzen auf maximal 80 Zeichen - bitte "
                        "Wiederhole-Button nutzen!!!"};
const Box rejected{"ACHTUNG", "Zeichen nicht in der definierten Menge!"};

// The states of the sequence, as the enabled flags of InputBtn, TestBtn,
// CounterBtn, ReadyBtn, RetryBtn and StopBtn.
const QMap<QString, QString> states = {
    {"110001", "start"},   {"001011", "tested"},   {"000111", "counted"},
    {"000011", "punched"}, {"110011", "repeated"},
};

std::bitset<CardPositions> expectedCard(const std::string &text)
{
    std::bitset<CardPositions> card;
    for (std::size_t i = 0; i < std::min<std::size_t>(text.size(), 80); ++i) {
        for (int position : expectedPositions(text[i]))
            card.set(std::size_t(position - 1) * 80 + i);
    }
    return card;
}

} // namespace

class TestSequence : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typicalRun();
    void typicalRunWithKeysOnly();
    void sampleSentenceAsLoaded();
    void sampleSentenceTypedAnew();
    void tooLongText();
    void retryWhenTested();
    void editBetweenSteps();
    void emptyPunch();
    void inputButtonOnEmptyText();
    void randomSequencesFollowTheStateTable();
    void realMessageBoxShowsEarlierHoles();
    void rejectionBoxStaysOffTheCard_data();
    void rejectionBoxStaysOffTheCard();

private:
    QString state() const;
    void click(QPushButton *button);
    void type(const QString &text);
    std::bitset<CardPositions> shownCard() const;

    RecordingMessageBox box;
    TForm1 *form = nullptr;
};

void TestSequence::init()
{
    form = new TForm1(box);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
}

void TestSequence::cleanup()
{
    delete form;
    form = nullptr;
    box.boxes.clear();
    box.whileUp = nullptr;
}

QString TestSequence::state() const
{
    QString flags;
    for (QPushButton *b :
         {form->InputBtn, form->TestBtn, form->CounterBtn, form->ReadyBtn, form->RetryBtn, form->StopBtn})
        flags += b->isEnabled() ? '1' : '0';
    return states.value(flags, flags);
}

void TestSequence::click(QPushButton *button)
{
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
}

void TestSequence::type(const QString &text)
{
    form->InputMemo->setFocus();
    QTest::keyClicks(form->InputMemo, text);
}

std::bitset<CardPositions> TestSequence::shownCard() const
{
    std::bitset<CardPositions> shown;
    for (int k = 0; k < CardPositions; ++k) {
        if (form->cardFace()->isHoleVisible(k))
            shown.set(std::size_t(k));
    }
    return shown;
}

void TestSequence::typicalRun()
{
    QCOMPARE(state(), "start");
    click(form->InputBtn);
    QCOMPARE(form->InputMemo->toPlainText(), QString());
    QCOMPARE(state(), "start");
    type("HOLZ 42");

    click(form->TestBtn);
    QCOMPARE(state(), "tested");
    QCOMPARE(box.takeBoxes(), QList<Box>{charactersCorrect});
    QCOMPARE(form->TestMemo->toPlainText(), "HOLZ 42");

    click(form->CounterBtn);
    QCOMPARE(state(), "counted");
    QCOMPARE(form->LabelCounter->text(), "7");
    QCOMPARE(box.takeBoxes(), QList<Box>{lengthPermitted});

    click(form->ReadyBtn);
    QCOMPARE(state(), "punched");
    QVERIFY(box.takeBoxes().isEmpty());
    QCOMPARE(form->card().holes(), expectedCard("HOLZ 42"));
    QCOMPARE(shownCard(), expectedCard("HOLZ 42"));

    click(form->RetryBtn);
    QCOMPARE(state(), "repeated");
    QCOMPARE(form->InputMemo->toPlainText(), QString());
    QVERIFY(form->card().holes().none());
    QVERIFY(shownCard().none());
    // Count and echo stay shown.
    QCOMPARE(form->LabelCounter->text(), "7");
    QCOMPARE(form->TestMemo->toPlainText(), "HOLZ 42");
    QVERIFY(form->InputMemo->isEnabled());
}

void TestSequence::typicalRunWithKeysOnly()
{
    // The README's keyboard-only line, key for key, with the real boxes:
    // each step's box takes an Enter of its own.
    if (QGuiApplication::platformName() == QLatin1String("wasm"))
        QSKIP("Qt for WebAssembly runs a box's event loop only where nothing else waits: "
              "here the keys come from a timer while the test waits, "
              "so the box the Enter brings up cannot wait for its own");
    ApplicationMessageBox realBox;
    TForm1 window(realBox);
    QVERIFY(showActive(&window));
    const QStringList line = {"Esc",   "Tab",   "Tab", "HOLZ 42", "Tab", "Enter", "Enter",
                              "Enter", "Enter", "Tab", "Tab",     "Tab", "Space", "W"};
    const QHash<QString, Qt::Key> keys = {{"Esc", Qt::Key_Escape},
                                          {"Tab", Qt::Key_Tab},
                                          {"Enter", Qt::Key_Return},
                                          {"Space", Qt::Key_Space},
                                          {"W", Qt::Key_W}};
    qsizetype next = 0;
    bool punched = false;
    // Each key is sent from a timer that queues the next one first, so keys
    // keep coming while a box runs its own event loop. A key waits until the
    // window it is meant for has the keyboard, as an operator waits for a
    // box: some window systems (Wine's) activate a window a little after
    // showing it.
    std::function<void()> step = [&] {
        if (next == line.size())
            return;
        QTimer::singleShot(50, &window, step);
        followActiveWindow(&window);
        QWidget *modal = QApplication::activeModalWidget();
        if (QApplication::activeWindow() != (modal ? modal : &window))
            return;
        const QString &key = line.at(next++);
        if (key == "W")
            punched = window.card().holes() == expectedCard("HOLZ 42");
        QWidget *focus = QApplication::focusWidget();
        if (keys.contains(key))
            QTest::keyClick(focus, keys.value(key));
        else
            QTest::keyClicks(focus, key);
    };
    QTimer::singleShot(0, &window, step);
    QTRY_VERIFY_WITH_TIMEOUT(next == line.size() && !QApplication::activeModalWidget(), 10000);

    QVERIFY(punched);
    QTRY_VERIFY(window.card().holes().none()); // W repeats
    QVERIFY(window.TestBtn->isEnabled() && window.RetryBtn->isEnabled());
    QCOMPARE(window.LabelCounter->text(), "7");
    QCOMPARE(window.TestMemo->toPlainText(), "HOLZ 42");
}

void TestSequence::sampleSentenceAsLoaded()
{
    click(form->TestBtn);
    QCOMPARE(box.takeBoxes(), QList<Box>{charactersWrong});
    QCOMPARE(form->TestMemo->toPlainText(), sentence + "\n"); // and an empty second line
    QCOMPARE(form->TestMemo->blockCount(), 2);

    click(form->CounterBtn);
    QCOMPARE(form->LabelCounter->text(), "80");
    QCOMPARE(box.takeBoxes(), QList<Box>{lengthPermitted});
    QVERIFY(form->StaticText6->isHidden());

    click(form->ReadyBtn);
    QCOMPARE(box.takeBoxes(), (QList<Box>{rejected, rejected})); // CR and LF
    QCOMPARE(form->card().holes(), expectedCard(sentence.toStdString()));
    for (int position = 1; position <= 12; ++position) {
        QVERIFY(!form->card().isPunched(position, 79));
        QVERIFY(!form->card().isPunched(position, 80));
    }
    QCOMPARE(shownCard(), form->card().holes());
}

void TestSequence::sampleSentenceTypedAnew()
{
    click(form->InputBtn);
    type(sentence);
    click(form->TestBtn);
    QCOMPARE(box.takeBoxes(), QList<Box>{charactersCorrect});
    click(form->CounterBtn);
    QCOMPARE(form->LabelCounter->text(), "78");
    QCOMPARE(box.takeBoxes(), QList<Box>{lengthPermitted});
}

void TestSequence::tooLongText()
{
    const QString text = QString(81, 'A');
    form->InputMemo->setPlainText(text);
    click(form->TestBtn);
    QCOMPARE(box.takeBoxes(), QList<Box>{charactersCorrect});

    // The notice comes after the box is dismissed.
    box.whileUp = [this] { QVERIFY(form->StaticText6->isHidden()); };
    click(form->CounterBtn);
    box.whileUp = nullptr;
    QCOMPARE(form->LabelCounter->text(), "81");
    QCOMPARE(box.takeBoxes(), QList<Box>{lengthTooLong});
    QVERIFY(form->StaticText6->isVisible());
    QVERIFY(form->ReadyBtn->isEnabled());

    // Punching is still possible: the first 80 characters, no box.
    click(form->ReadyBtn);
    QVERIFY(box.takeBoxes().isEmpty());
    QCOMPARE(form->card().holes(), expectedCard(text.toStdString()));
    QCOMPARE(form->card().holes().count(), 160u);

    // A later count of a short text leaves the notice; only InputBtn hides it.
    click(form->RetryBtn);
    type("AB");
    click(form->TestBtn);
    click(form->CounterBtn);
    QCOMPARE(form->LabelCounter->text(), "2");
    QVERIFY(form->StaticText6->isVisible());
    click(form->RetryBtn);
    QVERIFY(form->StaticText6->isVisible());
    click(form->InputBtn);
    QVERIFY(form->StaticText6->isHidden());
}

void TestSequence::retryWhenTested()
{
    click(form->TestBtn);
    QCOMPARE(state(), "tested");
    click(form->RetryBtn);
    QCOMPARE(state(), "repeated");
    QCOMPARE(form->InputMemo->toPlainText(), QString());
    // From repeated the test starts the next round.
    type("A");
    click(form->TestBtn);
    QCOMPARE(state(), "tested");
}

void TestSequence::editBetweenSteps()
{
    click(form->InputBtn);
    type("ABC");
    click(form->TestBtn);
    click(form->CounterBtn);
    box.takeBoxes();

    // The punch reads the text at its own click.
    form->InputMemo->setFocus();
    form->InputMemo->selectAll();
    QTest::keyClicks(form->InputMemo, "Xy1");
    QTest::keyClick(form->InputMemo, Qt::Key_Return);
    QTest::keyClicks(form->InputMemo, "B");
    click(form->ReadyBtn);
    QCOMPARE(box.takeBoxes(), (QList<Box>{rejected, rejected, rejected})); // y, CR, LF
    QCOMPARE(form->card().holes(), expectedCard("Xy1\r\nB"));
}

void TestSequence::emptyPunch()
{
    click(form->InputBtn);
    click(form->TestBtn);
    click(form->CounterBtn);
    QCOMPARE(form->LabelCounter->text(), "0");
    box.takeBoxes();
    click(form->ReadyBtn);
    QVERIFY(box.boxes.isEmpty());
    QVERIFY(!form->ReadyBtn->isEnabled());
    QCOMPARE(state(), "punched");
    QVERIFY(form->card().holes().none());
}

void TestSequence::inputButtonOnEmptyText()
{
    click(form->InputBtn);
    const QString counter = form->LabelCounter->text();
    const QString echo = form->TestMemo->toPlainText();
    click(form->InputBtn);
    QCOMPARE(state(), "start");
    QCOMPARE(form->LabelCounter->text(), counter);
    QCOMPARE(form->TestMemo->toPlainText(), echo);
    QVERIFY(box.boxes.isEmpty());
}

void TestSequence::randomSequencesFollowTheStateTable()
{
    // Random clicks on enabled buttons and random edits, checked against a
    // model of the sequence and an independently punched card after each
    // step, and while each of its boxes is up: each step changes what it
    // shows on its own side of its boxes.
    QRandomGenerator random(20230416);
    const QStringList pieces = {
        "A", "Z", "0", "9", " ", "HOLZ", "a", "\n", "ß", "€", "😀", QString(40, 'K'), QString(30, '7')};
    // State, count, echo, notice, card and card face, as one line.
    auto shows = [](const QString &state, const QString &counter, const QString &echo, bool notice,
                    const std::bitset<CardPositions> &card, const std::bitset<CardPositions> &face) {
        return QStringList{state,
                           counter,
                           echo,
                           notice ? "notice" : "no notice",
                           CardFace::describe(card),
                           CardFace::describe(face)}
            .join(" | ");
    };
    auto windowShows = [&] {
        return shows(state(), form->LabelCounter->text(), form->TestMemo->document()->toRawText(),
                     form->StaticText6->isVisible(), form->card().holes(), shownCard());
    };

    for (int run = 0; run < 60; ++run) {
        cleanup();
        init();
        QStringList seenWhileUp;
        box.whileUp = [&] { seenWhileUp.append(windowShows()); };
        QString modelState = "start";
        QString counter = "???";
        QString echo;
        bool notice = false;
        std::bitset<CardPositions> card;
        auto modelShows = [&](const std::bitset<CardPositions> &holes) {
            return shows(modelState, counter, QString(echo).replace("\r\n", QChar(0x2029)), notice, holes,
                         holes);
        };

        for (int step = 0; step < 25; ++step) {
            const std::string text = form->InputText();
            QList<Box> boxes;
            QStringList whileUp;
            QList<QPushButton *> enabled;
            for (QPushButton *b :
                 {form->InputBtn, form->TestBtn, form->CounterBtn, form->ReadyBtn, form->RetryBtn})
                if (b->isEnabled())
                    enabled.append(b);
            const int choice = random.bounded(int(enabled.size()) + 1);

            if (choice == enabled.size()) {
                QString edit;
                for (int n = random.bounded(5); n > 0; --n)
                    edit += pieces.at(random.bounded(int(pieces.size())));
                form->InputMemo->setPlainText(edit);
            } else {
                QPushButton *b = enabled.at(choice);
                if (b == form->TestBtn) {
                    // The echo follows the box.
                    modelState = "tested";
                    bool allowed = true;
                    for (char c : text)
                        allowed = allowed && inCardCode(c);
                    boxes = {allowed ? charactersCorrect : charactersWrong};
                    whileUp = {modelShows(card)};
                    echo = QString::fromStdU16String(decodeInputText(text));
                } else if (b == form->CounterBtn) {
                    // The count comes before the box, the notice after it.
                    modelState = "counted";
                    counter = QString::number(text.size());
                    boxes = {text.size() <= 80 ? lengthPermitted : lengthTooLong};
                    whileUp = {modelShows(card)};
                    notice = notice || text.size() > 80;
                } else if (b == form->ReadyBtn) {
                    // Each rejection's box shows the columns before it punched.
                    modelState = "punched";
                    for (std::size_t i = 0; i < std::min<std::size_t>(text.size(), 80); ++i) {
                        if (!inCardCode(text[i])) {
                            boxes.append(rejected);
                            whileUp.append(modelShows(card | expectedCard(text.substr(0, i))));
                        }
                    }
                    card |= expectedCard(text);
                } else if (b == form->RetryBtn) {
                    modelState = "repeated";
                    card.reset();
                } else if (b == form->InputBtn) {
                    notice = false;
                }
                click(b);
                if (b == form->RetryBtn || b == form->InputBtn)
                    QCOMPARE(form->InputText(), std::string());
            }

            QCOMPARE(box.takeBoxes(), boxes);
            QCOMPARE(std::exchange(seenWhileUp, {}), whileUp);
            QCOMPARE(windowShows(), modelShows(card));
            QVERIFY(form->InputMemo->isEnabled());
        }
    }
}

void TestSequence::realMessageBoxShowsEarlierHoles()
{
    // The program's own box, dismissed from a timer; while each box is up
    // the screen already shows the holes of the columns before it.
    ApplicationMessageBox realBox;
    TForm1 window(realBox);
    realBox.keepClearOf(window.HoleCardGroup);
    QVERIFY(showActive(&window));

    window.InputMemo->setPlainText("A1b\nZ");
    const QRect hole1 = CardFace::holeRect(flatIndex(1, 1)).translated(window.cardFace()->pos());
    const QRect hole2 = CardFace::holeRect(flatIndex(4, 2)).translated(window.cardFace()->pos());
    const QRect hole5 = CardFace::holeRect(flatIndex(3, 6)).translated(window.cardFace()->pos());

    QList<Box> seen;
    QList<bool> earlierBlack;
    BoxAnswerer answerer([&](QMessageBox *msg) {
        seen.append({msg->windowTitle(), msg->text()});
        QCOMPARE(msg->icon(), QMessageBox::NoIcon);
        QCOMPARE(msg->buttons().size(), 1);
        QVERIFY(msg->button(QMessageBox::Ok)->icon().isNull());
        QVERIFY(!(msg->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(msg->parentWidget() == nullptr);
        QCOMPARE(msg->windowModality(), Qt::ApplicationModal);

        QVERIFY(screenShowsWidget(window.HoleCardGroup));
        const QImage shot = window.HoleCardGroup->grab().toImage();
        auto black = [&shot](QRect r) {
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (qGray(shot.pixel(x, y)) > 40)
                        return false;
            return true;
        };
        earlierBlack.append(black(hole1) && black(hole2) && !black(hole5));
    });

    window.ReadyBtn->setEnabled(true);
    window.ReadyBtn->setFocus();
    QTest::mouseClick(window.ReadyBtn, Qt::LeftButton);

    QCOMPARE(seen, (QList<Box>{rejected, rejected, rejected})); // b, CR, LF
    QCOMPARE(earlierBlack, (QList<bool>{true, true, true}));
    QCOMPARE(window.card().holes(), expectedCard("A1b\r\nZ"));
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    // The focus comes back to where it was when the box came up.
    QCOMPARE(window.focusWidget(), &window);
}

// Splits the X server's one screen into two RandR monitors side by side,
// the left one on the screen's output, for as long as it lives.
class SplitScreen
{
    Q_DISABLE_COPY(SplitScreen)

public:
    SplitScreen()
    {
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        const QString half = QStringLiteral("%1/300x%2/300").arg(screen.width() / 2).arg(screen.height());
        const QString output = QGuiApplication::primaryScreen()->name();
        split = xrandr({"--setmonitor", "left", half + "+0+0", output})
            && xrandr(
                    {"--setmonitor", "right", half + QStringLiteral("+%1+0").arg(screen.width() / 2), "none"})
            && QTest::qWaitFor([] { return QGuiApplication::screens().size() == 2; });
    }
    ~SplitScreen()
    {
        xrandr({"--delmonitor", "right"});
        xrandr({"--delmonitor", "left"});
        if (!QTest::qWaitFor([] { return QGuiApplication::screens().size() == 1; }))
            qWarning("the screen is still split into monitors");
    }
    bool split = false;

private:
    static bool xrandr(const QStringList &arguments) { return runTool(QStringLiteral("xrandr"), arguments); }
};

void TestSequence::rejectionBoxStaysOffTheCard_data()
{
    QTest::addColumn<bool>("secondMonitor");
    QTest::newRow("one monitor") << false;
    QTest::newRow("window on the second of two monitors") << true;
}

void TestSequence::rejectionBoxStaysOffTheCard()
{
    QFETCH(bool, secondMonitor);
    if (QGuiApplication::platformName() == QLatin1String("wayland"))
        QSKIP("Wayland leaves the placing of a window to the compositor");
    if (secondMonitor && QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("the screen is split into monitors by X11's RandR");
    std::optional<SplitScreen> monitors;
    if (secondMonitor) {
        monitors.emplace();
        QVERIFY2(monitors->split, "xrandr could not split the screen into two monitors");
    }

    ApplicationMessageBox realBox;
    TForm1 window(realBox);
    realBox.keepClearOf(window.HoleCardGroup);
    QVERIFY(showActive(&window));
    // The window fits its outer frame to the described one once the window
    // manager has told its frame.
    QRect outer(200, 196, 1369, 712);
    QVERIFY(waitForFrame(&window));
    QTRY_COMPARE(window.frameGeometry(), outer);
    QScreen *monitor = window.screen();
    if (secondMonitor) {
        monitor = QGuiApplication::screens().at(1);
        outer.translate(monitor->geometry().topLeft());
        window.move(outer.topLeft());
        QTRY_COMPARE(window.frameGeometry(), outer);
        QTRY_COMPARE(window.screen(), monitor);
    }
    window.InputMemo->setPlainText("A?");

    const int cardTop = window.HoleCardGroup->mapToGlobal(QPoint(0, 0)).y();
    QList<QRect> frames;
    BoxAnswerer answerer([&](QMessageBox *msg) {
        QVERIFY(waitForFrame(msg));
        frames.append(msg->frameGeometry());
    });
    window.ReadyBtn->setEnabled(true);
    window.ReadyBtnClick();
    window.TestBtnClick(); // a box whose text wraps
    // A box taller than the band between the window's top and the card.
    realBox.show(QStringLiteral("ACHTUNG"), QStringList(16, QStringLiteral("Zeile")).join(u'\n'));
    QCOMPARE(frames.size(), 3);
    QVERIFY(frames.last().height() > cardTop - outer.top());
    for (const QRect &frame : std::as_const(frames)) {
        QVERIFY2(frame.bottom() < cardTop,
                 qPrintable(QStringLiteral("%1 %2").arg(frame.bottom()).arg(cardTop)));
        QVERIFY2(monitor->geometry().contains(frame), qPrintable(monitor->name()));
        // Centred on the window, by the box's size as it is shown, where the
        // window is wholly on the monitor; within the few pixels by which
        // the box's frame may differ from the window's.
        const int offCentre = frame.center().x() - outer.center().x();
        if (monitor->geometry().contains(outer))
            QVERIFY2(qAbs(offCentre) <= 3, qPrintable(QString::number(offCentre)));
    }
}

QTEST_MAIN(TestSequence)
#include "tst_sequence.moc"
