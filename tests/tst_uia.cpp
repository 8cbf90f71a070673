// SPDX-FileCopyrightText: 2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What a Windows screen reader reads of the program through UI Automation,
// from a process of its own (uiareader.exe beside this suite): every control
// by its name and control type, the card by what is punched, and a box as a
// window of its own with its text. A button of the window invoked while a
// box is up does nothing.
#include "applicationmessagebox.h"
#include "boxanswerer.h"
#include "cardface.h"
#include "recordingmessagebox.h"
#include "showactive.h"
#include "tform1.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

namespace {

// One element of the tree as the reader prints it: its control type and
// name, and the whole line for the log.
struct Element
{
    QString type, name, line;
};

// The reader's elements for the window with the title given, and what an
// invoke asked of it came to. The reader works through this process's
// windows, so the suite keeps answering while it waits.
QList<Element> readTree(const QString &title, const QString &invoke = {}, QString *invoked = nullptr)
{
    QProcess reader;
    QStringList arguments{title};
    if (!invoke.isEmpty())
        arguments << QStringLiteral("invoke") << invoke;
    reader.start(QCoreApplication::applicationDirPath() + QStringLiteral("/uiareader.exe"), arguments);
    if (!QTest::qWaitFor([&reader] { return reader.state() == QProcess::NotRunning; }, 120000))
        reader.kill();
    QList<Element> tree;
    const QStringList lines =
        QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QStringList fields = line.split(u'|');
        if (fields.first() == QLatin1String("invoke") && invoked)
            *invoked = fields.value(1);
        else if (fields.size() >= 3)
            tree.append({fields.at(1), fields.at(2), line});
    }
    if (tree.isEmpty())
        qWarning("uiareader: %s", reader.readAllStandardError().constData());
    return tree;
}

bool contains(const QList<Element> &tree, const QString &type, const QString &name)
{
    return std::any_of(tree.begin(), tree.end(),
                       [&](const Element &e) { return e.type == type && e.name == name; });
}

} // namespace

class TestUia : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowTree_data();
    void windowTree();
    void boxIsAWindowAndBlocksTheOther();

private:
    RecordingMessageBox box;
    std::unique_ptr<TForm1> form;
    QList<Element> tree;
};

void TestUia::initTestCase()
{
    // The window after a punch of one line, read once.
    form = std::make_unique<TForm1>(box);
    QVERIFY(showActive(form.get()));
    form->InputMemo->setPlainText(QStringLiteral("HOLZ 42"));
    form->TestBtnClick();
    form->CounterBtnClick();
    form->ReadyBtnClick();
    tree = readTree(QStringLiteral("Perforon"));
    for (const Element &e : std::as_const(tree))
        qInfo("%s", qUtf8Printable(e.line));
    QVERIFY2(!tree.isEmpty(), "UI Automation gave no tree for the window");
}

void TestUia::windowTree_data()
{
    // Each control as the reader finds it, by control type and name; and
    // what Wine's client does not carry (whether it is enabled, a text box's
    // value, the card's description) as Qt's provider reads it in this
    // process.
    QTest::addColumn<QWidget *>("control");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("text"); // value or description
    QTest::newRow("window") << static_cast<QWidget *>(form.get()) << "Window"
                            << "Perforon" << true << "";
    QTest::newRow("Ablaufsteuerung") << static_cast<QWidget *>(form->CtrlGroup) << "Group"
                                     << "Ablaufsteuerung" << true << "";
    QTest::newRow("Eingabe-Box") << static_cast<QWidget *>(form->InpGroup) << "Group"
                                 << "Eingabe-Box" << true << "";
    const QList<std::tuple<QPushButton *, const char *, bool>> buttons = {
        {form->StopBtn, "Schließen", true},
        {form->RetryBtn, "Wiederholen", true},
        {form->ReadyBtn, "Lochkarte stanzen", false},
        {form->InputBtn, "Eingabetext löschen", false},
        {form->CounterBtn, "Character Counter", false},
        {form->TestBtn, "Zeichentest", false}};
    for (const auto &[button, name, enabled] : buttons)
        QTest::newRow(name) << static_cast<QWidget *>(button) << "Button" << name << enabled << "";
    QTest::newRow("input box") << static_cast<QWidget *>(form->InputMemo) << "Edit"
                               << "Eingabe-Box" << true << "HOLZ 42";
    QTest::newRow("test field") << static_cast<QWidget *>(form->TestMemo) << "Edit"
                                << "Testfeld für max. 80 Zeiechen" << false << "HOLZ 42";
    QTest::newRow("count") << static_cast<QWidget *>(form->LabelCounter) << "Text"
                           << "7" << true << "";
    QTest::newRow("heading") << static_cast<QWidget *>(form->StaticText3) << "Text"
                             << "Perforon " << true << "";
    QTest::newRow("card") << static_cast<QWidget *>(form->cardFace()) << "Group"
                          << "Lochkarte" << true
                          << "Spalte 1: 12, 8; Spalte 2: 11, 6; Spalte 3: 11, 3; Spalte 4: 0, 9; "
                             "Spalte 6: 4; Spalte 7: 2";
}

void TestUia::windowTree()
{
    QFETCH(QWidget *, control);
    QFETCH(QString, type);
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    QFETCH(QString, text);
    QVERIFY2(contains(tree, type, name),
             qPrintable(QStringLiteral("no %1 \"%2\" in the tree").arg(type, name)));

    QAccessibleInterface *provided = QAccessible::queryAccessibleInterface(control);
    QCOMPARE(!provided->state().disabled, enabled);
    if (provided->role() == QAccessible::EditableText)
        QCOMPARE(provided->text(QAccessible::Value), text);
    else
        QCOMPARE(provided->text(QAccessible::Description), text);
}

void TestUia::boxIsAWindowAndBlocksTheOther()
{
    // The program's own box: a window of its own, read with its text. And
    // "Character Counter", enabled but blocked by it, invoked through UI
    // Automation brings up no second box: where Wine's client carries no
    // Invoke pattern, the press Qt's provider makes of an Invoke is made in
    // this process.
    ApplicationMessageBox realBox;
    TForm1 window(realBox);
    QVERIFY(showActive(&window));
    window.InputMemo->setPlainText(QStringLiteral("a"));
    QList<Element> boxTree;
    QString invoked;
    BoxAnswerer answerer([&](QMessageBox *) {
        boxTree = readTree(QStringLiteral("ACHTUNG"));
        readTree(QStringLiteral("Perforon"), QStringLiteral("Character Counter"), &invoked);
        QAccessibleInterface *counter = QAccessible::queryAccessibleInterface(window.CounterBtn);
        counter->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        // A press that got through would click once the button has shown
        // it pressed.
        QTRY_VERIFY(!window.CounterBtn->isDown());
    });
    window.TestBtnClick();

    qInfo("the blocked button invoked through UI Automation: %s", qPrintable(invoked));
    QCOMPARE(answerer.answered, 1);
    QVERIFY(window.CounterBtn->isEnabled());
    QVERIFY2(!boxTree.isEmpty(), "UI Automation gave no tree for the box");
    QCOMPARE(boxTree.first().type, QStringLiteral("Window"));
    QCOMPARE(boxTree.first().name, QStringLiteral("ACHTUNG"));
    QVERIFY(contains(boxTree, QStringLiteral("Button"), QStringLiteral("OK")));
    QVERIFY(contains(boxTree, QStringLiteral("Text"),
                     QStringLiteral("Eingabetext falsch nur englischsprachige Großbuchstaben, Ziffern sowie "
                                    "Leerzeichen sind zugelassen - bitte korrigieren!")));
}

QTEST_MAIN(TestUia)
#include "tst_uia.moc"
