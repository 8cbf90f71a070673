// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "punchcard.h"

#include <QWidget>

#include <string>

class CardFace;
class DialogKeys;
class MessageBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
struct ControlSpec;
struct Message;

// The program's one window: the controls of the layout, the card face, and
// the click handlers that drive the operator sequence.
class TForm1 : public QWidget
{
    Q_OBJECT

public:
    // textHeight is the window font's text height on this screen; 0 measures it.
    explicit TForm1(MessageBox &messageBox, int textHeight = 0, QWidget *parent = nullptr);
    ~TForm1() override;

    // The window font's text height as the screen shows it.
    static int measuredTextHeight();

    // The input box's text as the card logic reads it.
    std::string InputText() const;

    const TPunchCard &card() const { return PunchCard; }
    CardFace *cardFace() const { return face; }

    // Fills the card face; run once, when the window is created.
    void FormCreate();

    void TestBtnClick();
    void CounterBtnClick();
    void ReadyBtnClick();
    void RetryBtnClick();
    void InputBtnClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createControls(int textHeight);
    QWidget *createControl(const ControlSpec &row, QWidget *parent, double scale);
    void setupButton(QPushButton *button, const ControlSpec &row);
    void connectHandlers();
    void setButtonEnabled(QPushButton *button, bool enabled);
    void showMessage(const Message &message);
    void fitOuterSizeToFrame();
    void focusFirstControl();

    MessageBox &messageBox;
    TPunchCard PunchCard;

public:
    // The controls, by the names of the layout.
    QFrame *Panel1 = nullptr;
    QGroupBox *CtrlGroup = nullptr;
    QPushButton *StopBtn = nullptr;
    QPushButton *RetryBtn = nullptr;
    QPushButton *ReadyBtn = nullptr;
    QPushButton *InputBtn = nullptr;
    QGroupBox *InpGroup = nullptr;
    QLabel *LabelCounter = nullptr;
    QPlainTextEdit *InputMemo = nullptr;
    QPushButton *CounterBtn = nullptr;
    QLabel *StaticText1 = nullptr;
    QPushButton *TestBtn = nullptr;
    QLabel *StaticText2 = nullptr;
    QLabel *StaticText6 = nullptr;
    QGroupBox *HoleCardGroup = nullptr;
    QLabel *StaticText3 = nullptr;
    QLabel *StaticText4 = nullptr;
    QLabel *StaticText5 = nullptr;
    QPlainTextEdit *TestMemo = nullptr;
    QLabel *StaticText7 = nullptr;

private:
    CardFace *face = nullptr;
    DialogKeys *keys = nullptr;
    bool sizedToFrame = false;
    bool shownBefore = false;
};
