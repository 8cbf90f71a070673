// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cardface.h"
#include "groupboxstyle.h"
#include "lightcolours.h"
#include "recordingmessagebox.h"
#include "showactive.h"
#include "tform1.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleFactory>
#include <QtTest>

#include <cmath>

namespace {

// WCAG's contrast ratio of two colours: 21 for black on white, 1 for equals.
double luminance(QRgb rgb)
{
    auto channel = [](int c) {
        const double s = c / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}
double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Black print on a light card reads at 7:1 or better (WCAG's enhanced
// level); the window's own texts at 4.5:1.
constexpr double PrintContrast = 7.0;
constexpr double TextContrast = 4.5;
constexpr QPoint BlankOfCard(12, 200); // left of column 1, between two digit rows
constexpr QPoint BlankOfWindow(6, 6);  // inside the panel's bevel
constexpr int CaptionIndent = 8;
constexpr int ButtonInset = 3;   // inside a button's frame
constexpr int BesideCaption = 4; // past the gap the frame leaves open
constexpr int LightGrey = 160;   // the least grey level a light face has

QPalette paletteOf(QColor window, QColor text)
{
    QPalette palette(window);
    for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base})
        palette.setColor(role, window);
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(role, text);
    return palette;
}

} // namespace

// The window under other desktops' colours and widget styles, as the screen
// shows it: the card reads as on a light desktop, and the group captions
// stand at their places in an etched frame.
class TestTheme : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void readsAsOnALightDesktop_data();
    void readsAsOnALightDesktop();

private:
    QPalette desktop; // the platform's own, before the program changes it
    RecordingMessageBox box;
    TForm1 *form = nullptr;
};

void TestTheme::initTestCase()
{
    desktop = QApplication::palette();
    qInfo("The platform chose the style %s", qPrintable(QApplication::style()->name()));
    // The tier with a dark desktop theme says so; it must have taken.
    if (qEnvironmentVariableIsSet("PERFORON_DARK_DESKTOP"))
        QVERIFY2(isDark(desktop), "the desktop theme gave no dark palette");
}

void TestTheme::cleanup()
{
    delete form;
    form = nullptr;
    delete GroupBoxStyle::instance(); // made anew over the next row's style
}

void TestTheme::readsAsOnALightDesktop_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QPalette>("palette");
    QTest::addColumn<bool>("lightKept"); // a light palette stays as it is
    const QPalette dark = paletteOf(QColor(45, 45, 45), QColor(230, 230, 230));
    const QPalette contrastBlack = paletteOf(Qt::black, Qt::white);
    const QPalette contrastWhite = paletteOf(Qt::white, Qt::black);
    // Fusion and Windows come with Qt; Adwaita and Breeze where installed.
    for (const QString &style : QStyleFactory::keys()) {
        const QByteArray name = style.toUtf8();
        QTest::addRow("%s, desktop", name.data()) << style << desktop << false;
        QTest::addRow("%s, dark", name.data()) << style << dark << false;
        QTest::addRow("%s, high contrast black", name.data()) << style << contrastBlack << false;
        QTest::addRow("%s, high contrast white", name.data()) << style << contrastWhite << true;
    }
}

void TestTheme::readsAsOnALightDesktop()
{
    QFETCH(QString, style);
    QFETCH(QPalette, palette);
    QFETCH(bool, lightKept);
    QApplication::setStyle(style);
    QApplication::setPalette(palette);
    const QColor given = QApplication::palette().color(QPalette::Window);
    keepLightColours();
    if (lightKept)
        QCOMPARE(QApplication::palette().color(QPalette::Window), given);

    form = new TForm1(box);
    QVERIFY(showActive(form));
    form->InputMemo->setPlainText(QStringLiteral("A"));
    form->ReadyBtnClick();
    QVERIFY(screenShowsWidget(form->HoleCardGroup));
    const QImage screen = onScreen(form, form->rect());
    const QPoint card = form->HoleCardGroup->mapTo(form, QPoint());
    auto darkest = [&screen](QRect r) {
        QRgb ink = qRgb(255, 255, 255);
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                ink = luminance(screen.pixel(x, y)) < luminance(ink) ? screen.pixel(x, y) : ink;
        return ink;
    };

    // The window is light, its text dark.
    const QRgb window = screen.pixel(BlankOfWindow);
    QVERIFY2(qGray(window) > LightGrey, qPrintable(QColor(window).name()));
    QVERIFY(contrast(window, darkest(form->StaticText7->geometry())) >= TextContrast);

    // The buttons' captions on their faces, beside the caption.
    for (QPushButton *button : {form->StopBtn, form->InputBtn, form->TestBtn}) {
        const QRect face = button->geometry().translated(button->parentWidget()->mapTo(form, QPoint()));
        const QRgb beside = screen.pixel(face.right() - ButtonInset, face.center().y());
        QVERIFY2(
            contrast(beside, darkest(face.adjusted(ButtonInset, ButtonInset, -ButtonInset, -ButtonInset)))
                >= TextContrast,
            qPrintable(button->text()));
    }

    // Column numbers, digits and a hole mark, black on the light card.
    const QRgb paper = screen.pixel(card + BlankOfCard);
    QVERIFY2(qGray(paper) > LightGrey, qPrintable(QColor(paper).name()));
    const auto &labels = form->cardFace()->labels();
    for (const QRect &r : {labels.at(0).rect, labels.at(320).rect, CardFace::holeRect(flatIndex(1, 1))})
        QVERIFY(contrast(paper, darkest(r.translated(form->cardFace()->pos() + card))) >= PrintContrast);

    // Each caption at the top left of its box, the frame's top line running
    // unbroken from beside it to the box's right edge.
    for (QGroupBox *group : {form->CtrlGroup, form->InpGroup, form->HoleCardGroup}) {
        const QRect outline = group->geometry().translated(group->parentWidget()->mapTo(form, QPoint()));
        const QSize text = group->fontMetrics().size(Qt::TextShowMnemonic, group->title());
        const QRect caption(outline.topLeft() + QPoint(CaptionIndent, 0), text);
        QVERIFY2(contrast(window, darkest(caption)) >= TextContrast, qPrintable(group->title()));
        const int line = caption.center().y();
        const QRgb frame = screen.pixel(caption.right() + BesideCaption, line);
        QVERIFY(frame != window);
        for (int x = caption.right() + BesideCaption; x < outline.right() - 2; ++x)
            QVERIFY2(screen.pixel(x, line) == frame,
                     qPrintable(QStringLiteral("%1 at %2").arg(group->title()).arg(x)));
    }
}

QTEST_MAIN(TestTheme)
#include "tst_theme.moc"
