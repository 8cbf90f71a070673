// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tform1.h"

#include "accessiblecontrols.h"
#include "cardface.h"
#include "dialogkeys.h"
#include "fontface.h"
#include "glyph.h"
#include "groupboxstyle.h"
#include "inputchecks.h"
#include "inputtext.h"
#include "layout.h"
#include "messagebox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace {

// Space between a text box's frame and its text, small enough for one line
// of the input font in a box 25 pixels high.
constexpr int MemoTextMargin = 1;

QFont makeFont(const FontSpec &style, double scale)
{
    QFont font(installedFace(style.face));
    font.setPixelSize(qRound(-style.height * scale));
    font.setBold(style.bold);
    font.setItalic(style.italic);
    return font;
}

QColor colour(Colour c)
{
    switch (c) {
    case Colour::Inherit:
    case Colour::WindowText:
        return QApplication::palette().color(QPalette::WindowText);
    case Colour::Maroon:
        return {128, 0, 0};
    case Colour::Green:
        return {0, 128, 0};
    case Colour::Navy:
        return {0, 0, 128};
    case Colour::Red:
        return {255, 0, 0};
    case Colour::Yellow:
        return {255, 255, 0};
    }
    return {};
}

const ButtonKindSpec &buttonKind(ButtonKind kind)
{
    return *std::find_if(ButtonKinds.begin(), ButtonKinds.end(),
                         [kind](const ButtonKindSpec &entry) { return entry.kind == kind; });
}

// A text sized to its text widens where this screen's font needs more room
// than the layout gives it.
void widenToText(QWidget *text)
{
    text->resize(std::max(text->width(), text->sizeHint().width()), text->height());
}

QString toQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace

TForm1::TForm1(MessageBox &messageBox, int textHeight, QWidget *parent)
    : QWidget(parent), messageBox(messageBox)
{
    installAccessibleControls();
    setWindowTitle(QString::fromLatin1(WindowCaption));
    setFont(makeFont(WindowFont, 1.0));
    move(WindowLeft, WindowTop);
    resize(WindowOuterWidth, WindowOuterHeight);

    keys = new DialogKeys(this);
    createControls(textHeight > 0 ? textHeight : measuredTextHeight());
    connectHandlers();
    FormCreate();
}

TForm1::~TForm1()
{
    // Closing the window while it is destroyed moves the focus; the keys
    // must not follow it to buttons that are gone by then.
    delete keys;
}

int TForm1::measuredTextHeight()
{
    // Ascent and descent each rounded up, as the platform the layout was
    // made on reports a font's text height: from the face's own figures,
    // which a font engine that hints (Qt's FreeType one on Windows) would
    // round to whole pixels first.
    QFont font = makeFont(WindowFont, 1.0);
    font.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetricsF metrics(font);
    return int(std::ceil(metrics.ascent()) + std::ceil(metrics.descent()));
}

void TForm1::createControls(int textHeight)
{
    const double scale = double(textHeight) / DesignTextHeight;
    QHash<QString, QWidget *> controls;
    QWidget *previousStop = nullptr;
    for (const ControlSpec &row : Layout) {
        QWidget *parent = row.parent ? controls.value(QString::fromLatin1(row.parent)) : this;
        QWidget *control = createControl(row, parent, scale);
        controls.insert(QString::fromLatin1(row.name), control);
        if (control->focusPolicy() & Qt::TabFocus) {
            if (previousStop)
                setTabOrder(previousStop, control);
            previousStop = control;
        }
    }

    auto find = [&controls]<typename T>(T *&member, const char *name) {
        member = qobject_cast<T *>(controls.value(QString::fromLatin1(name)));
        Q_ASSERT(member);
    };
    find(Panel1, "Panel1");
    find(CtrlGroup, "CtrlGroup");
    find(StopBtn, "StopBtn");
    find(RetryBtn, "RetryBtn");
    find(ReadyBtn, "ReadyBtn");
    find(InputBtn, "InputBtn");
    find(InpGroup, "InpGroup");
    find(LabelCounter, "LabelCounter");
    find(InputMemo, "InputMemo");
    find(CounterBtn, "CounterBtn");
    find(StaticText1, "StaticText1");
    find(TestBtn, "TestBtn");
    find(StaticText2, "StaticText2");
    find(StaticText6, "StaticText6");
    find(HoleCardGroup, "HoleCardGroup");
    find(StaticText3, "StaticText3");
    find(StaticText4, "StaticText4");
    find(StaticText5, "StaticText5");
    find(TestMemo, "TestMemo");
    find(StaticText7, "StaticText7");

    // The sample sentence stands in the box as a line with its line break,
    // and the caret at the start of the empty line after it; showEvent
    // brings the sentence's line into view.
    InputMemo->appendPlainText(QString());
    InputMemo->moveCursor(QTextCursor::End);
    InputMemo->setProperty("helpKeyword", QString::fromUtf8(InputHelpKeyword));
    // The text beside the test field names it for assistive technology; the
    // input box takes its name from its group box.
    StaticText7->setBuddy(TestMemo);

    focusFirstControl();
}

void TForm1::focusFirstControl()
{
    // The first control in tab order that takes the focus has it at start.
    for (QWidget *w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled()) {
            w->setFocus(Qt::ActiveWindowFocusReason);
            break;
        }
    }
}

QWidget *TForm1::createControl(const ControlSpec &row, QWidget *parent, double scale)
{
    const QString text = row.text ? QString::fromUtf8(row.text) : QString();
    QWidget *control = nullptr;
    switch (row.kind) {
    case ControlKind::Panel: {
        auto *panel = new QFrame(parent);
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        panel->setLineWidth(1);
        control = panel;
        break;
    }
    case ControlKind::GroupBox: {
        auto *group = new QGroupBox(text, parent);
        group->setStyle(GroupBoxStyle::instance());
        control = group;
        break;
    }
    case ControlKind::StaticText:
    case ControlKind::Label:
        // A label is opaque in its parent's colour: it fills nothing itself,
        // so behind its text is what the parent shows there, shading included.
        control = new QLabel(text, parent);
        break;
    case ControlKind::Memo: {
        auto *memo = new QPlainTextEdit(parent);
        memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        memo->setWordWrapMode(QTextOption::WordWrap);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        memo->setTabChangesFocus(true);
        memo->document()->setDocumentMargin(MemoTextMargin);
        // A box disabled at start only shows text; it says so to assistive
        // technology too.
        memo->setReadOnly(!row.enabled);
        control = memo;
        break;
    }
    case ControlKind::BitBtn: {
        auto *button = new QPushButton(parent);
        setupButton(button, row);
        control = button;
        break;
    }
    }

    control->setObjectName(QString::fromLatin1(row.name));
    control->setGeometry(qRound(row.left * scale), qRound(row.top * scale), qRound(row.width * scale),
                         qRound(row.height * scale));
    QPalette palette = control->palette();
    if (row.font.face)
        control->setFont(makeFont(row.font, scale));
    if (row.font.colour != Colour::Inherit) {
        // Disabled text keeps the system's grey.
        for (auto group : {QPalette::Active, QPalette::Inactive}) {
            for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
                palette.setColor(group, role, colour(row.font.colour));
        }
    }
    if (row.colour != Colour::Inherit) {
        for (auto role : {QPalette::Window, QPalette::Base})
            palette.setColor(role, colour(row.colour));
    }
    control->setPalette(palette);
    if (control->focusPolicy() != Qt::NoFocus)
        keys->watch(control);
    control->setEnabled(row.enabled);
    control->setHidden(!row.visible);
    if (row.kind == ControlKind::StaticText || row.kind == ControlKind::Label)
        widenToText(control);
    // A text box takes its text last, so that it is laid out once, in its
    // own font and width.
    if (auto *memo = qobject_cast<QPlainTextEdit *>(control))
        memo->setPlainText(text);
    return control;
}

void TForm1::setupButton(QPushButton *button, const ControlSpec &row)
{
    const ButtonKindSpec &kind = buttonKind(row.button);
    button->setText(QString::fromUtf8(row.text ? row.text : kind.caption));
    const QIcon glyph = loadGlyph(QString::fromLatin1(kind.glyph));
    button->setIcon(glyph);
    button->setIconSize(glyph.availableSizes().value(0));
    // Enter presses the focused button, as on a dialog.
    button->setAutoDefault(true);

    switch (row.button) {
    case ButtonKind::Close:
        connect(button, &QPushButton::clicked, this, &QWidget::close);
        break;
    case ButtonKind::Cancel:
        keys->setCancelButton(button);
        break;
    case ButtonKind::OK:
    case ButtonKind::Yes:
        keys->addDefaultButton(button);
        break;
    case ButtonKind::None:
    case ButtonKind::Retry:
    case ButtonKind::All:
        break;
    }
}

void TForm1::connectHandlers()
{
    connect(TestBtn, &QPushButton::clicked, this, &TForm1::TestBtnClick);
    connect(CounterBtn, &QPushButton::clicked, this, &TForm1::CounterBtnClick);
    connect(ReadyBtn, &QPushButton::clicked, this, &TForm1::ReadyBtnClick);
    connect(RetryBtn, &QPushButton::clicked, this, &TForm1::RetryBtnClick);
    connect(InputBtn, &QPushButton::clicked, this, &TForm1::InputBtnClick);
}

void TForm1::FormCreate()
{
    face = new CardFace(HoleCardGroup);
    face->setGeometry(HoleCardGroup->rect());
    face->showCard(PunchCard);
}

std::string TForm1::InputText() const
{
    const QString text = InputMemo->document()->toRawText();
    return encodeInputText(
        {reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size())});
}

void TForm1::TestBtnClick()
{
    setButtonEnabled(InputBtn, false);
    setButtonEnabled(RetryBtn, true);
    setButtonEnabled(TestBtn, false);
    setButtonEnabled(CounterBtn, true);
    const CharacterCheck check = CheckCharacters(InputText());
    showMessage(check.message());
    const std::u16string echo = decodeInputText(check.echo);
    TestMemo->setPlainText(QString::fromUtf16(echo.data(), static_cast<qsizetype>(echo.size())));
}

void TForm1::CounterBtnClick()
{
    setButtonEnabled(ReadyBtn, true);
    setButtonEnabled(CounterBtn, false);
    const LengthCheck check = CheckLength(InputText());
    LabelCounter->setText(QString::number(check.count));
    widenToText(LabelCounter);
    showMessage(check.message());
    if (!check.permitted)
        StaticText6->show();
}

void TForm1::ReadyBtnClick()
{
    setButtonEnabled(ReadyBtn, false);
    const std::string text = InputText();
    if (text.empty())
        return;
    PunchText(PunchCard, text, [this] {
        face->showCard(PunchCard); // the earlier columns show while the box is up
        showMessage(RejectionMessage);
    });
    face->showCard(PunchCard);
}

void TForm1::RetryBtnClick()
{
    InputMemo->clear();
    setButtonEnabled(ReadyBtn, false);
    setButtonEnabled(TestBtn, true);
    setButtonEnabled(CounterBtn, false);
    setButtonEnabled(InputBtn, true);
    PunchCard.ClearCard();
    face->showCard(PunchCard);
}

void TForm1::InputBtnClick()
{
    StaticText6->hide();
    InputMemo->clear();
}

void TForm1::showMessage(const Message &message)
{
    messageBox.show(toQString(message.title), toQString(message.body));
}

void TForm1::setButtonEnabled(QPushButton *button, bool enabled)
{
    // A control that loses the focus by being disabled hands it to the
    // window itself, not to the next control: Enter then goes to the
    // enabled default button rather than to whatever comes next.
    if (!enabled && focusWidget() == button)
        setFocus(Qt::OtherFocusReason);
    button->setEnabled(enabled);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == windowHandle()
        && (event->type() == QEvent::Expose || event->type() == QEvent::Move
            || event->type() == QEvent::Resize))
        fitOuterSizeToFrame();
    return QWidget::eventFilter(watched, event);
}

void TForm1::showEvent(QShowEvent *event)
{
    // The outer size includes the frame where the window system draws one.
    // Window managers tell their frame at different times, some before the
    // first expose and some only after it, with the move that makes room
    // for it: the window watches until the frame is known.
    if (!sizedToFrame && !event->spontaneous() && windowHandle())
        windowHandle()->installEventFilter(this);
    QWidget::showEvent(event);
    // The box has scrolled to its caret on its own first show; the line in
    // view at start is the sentence's, the caret stays below it.
    if (!event->spontaneous())
        InputMemo->verticalScrollBar()->setValue(0);
    // In the browser Qt activates a window as it creates it, before its
    // controls show, and passes the focus on from the hidden first control:
    // on the first show the focus goes back to it.
    if (!event->spontaneous() && !shownBefore) {
        shownBefore = true;
        focusFirstControl();
    }
}

void TForm1::fitOuterSizeToFrame()
{
    // Without a frame the client area is the outer size already; a maximised
    // or full-screen window keeps the size it was given.
    const QMargins frame = windowHandle()->frameMargins();
    if (frame.isNull() || windowHandle()->windowStates() != Qt::WindowNoState)
        return;
    sizedToFrame = true;
    windowHandle()->removeEventFilter(this);
    // Place and size in one request: a window manager that takes the
    // requests of a window together may apply a second one's position by
    // the first one's reading of it.
    setGeometry(QRect(WindowLeft, WindowTop, WindowOuterWidth, WindowOuterHeight) - frame);
}
