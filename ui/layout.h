// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

// The window's controls as data: kind, parent, place, text, font, colour and
// state at start. Each control stands under its parent, and siblings stand
// in tab order, so the table order is also the window's focus order.

enum class ControlKind { Panel, GroupBox, StaticText, Label, Memo, BitBtn };

// A button's kind gives it a glyph, a default caption and a keyboard role.
enum class ButtonKind { None, Close, Retry, All, Cancel, OK, Yes };

// Colours by the names the layout uses; WindowText is the system's text colour.
enum class Colour { Inherit, WindowText, Maroon, Green, Navy, Red, Yellow };

struct FontSpec
{
    const char *face = nullptr; // nullptr: the window font
    int height = 0;             // negative: character height in pixels
    bool bold = false;
    bool italic = false;
    Colour colour = Colour::Inherit;
};

struct ControlSpec
{
    const char *name = nullptr;
    ControlKind kind = ControlKind::Panel;
    const char *parent = nullptr; // nullptr: the window itself
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    const char *text = nullptr; // caption or content; nullptr: none, or the button kind's
    FontSpec font = {};
    Colour colour = Colour::Inherit;
    ButtonKind button = ButtonKind::None;
    bool enabled = true;
    bool visible = true;
};

struct ButtonKindSpec
{
    ButtonKind kind;
    const char *glyph;   // resource name of the glyph bitmap
    const char *caption; // used where the layout gives none; nullptr where it always does
};

inline constexpr std::array<ButtonKindSpec, 6> ButtonKinds = {{
    {ButtonKind::Close, "BBCLOSE", "S&chließen"},
    {ButtonKind::Retry, "BBRETRY", "&Wiederholen"},
    {ButtonKind::All, "BBALL", nullptr},
    {ButtonKind::Cancel, "BBCANCEL", nullptr},
    {ButtonKind::OK, "BBOK", nullptr},
    {ButtonKind::Yes, "BBYES", nullptr},
}};

inline constexpr const char *WindowCaption = "Perforon";
inline constexpr int WindowLeft = 200;
inline constexpr int WindowTop = 196;
inline constexpr int WindowOuterWidth = 1369;
inline constexpr int WindowOuterHeight = 712;
inline constexpr FontSpec WindowFont = {"MS Sans Serif", -11, false, false, Colour::WindowText};
// The text height of the window font the layout was made for.
inline constexpr int DesignTextHeight = 13;

inline constexpr const char *InputHelpKeyword = "Englische Großbuchstaben, Ziffern sowie Leerzeichen";
inline constexpr const char *SampleSentence =
    "VERSUCH MOEGLICHST NICHT HOLZ STROMAUF ZU FLOESZEN ES WIRD NICHT FUNKTIONIEREN";

// clang-format off
inline constexpr std::array<ControlSpec, 20> Layout = {{
    {"Panel1", ControlKind::Panel, nullptr, 0, 0, 1345, 665},
    {"CtrlGroup", ControlKind::GroupBox, "Panel1", 904, 56, 425, 105, "Ablaufsteuerung"},
    {.name = "StopBtn", .kind = ControlKind::BitBtn, .parent = "CtrlGroup",
     .left = 216, .top = 64, .width = 201, .height = 25, .button = ButtonKind::Close},
    {.name = "RetryBtn", .kind = ControlKind::BitBtn, .parent = "CtrlGroup",
     .left = 8, .top = 64, .width = 201, .height = 25, .button = ButtonKind::Retry,
     .enabled = false},
    {.name = "ReadyBtn", .kind = ControlKind::BitBtn, .parent = "CtrlGroup",
     .left = 216, .top = 32, .width = 201, .height = 25, .text = "Lochkarte stanzen",
     .button = ButtonKind::All, .enabled = false},
    {.name = "InputBtn", .kind = ControlKind::BitBtn, .parent = "CtrlGroup",
     .left = 8, .top = 32, .width = 201, .height = 25, .text = "Eingabetext löschen",
     .button = ButtonKind::Cancel},
    {"InpGroup", ControlKind::GroupBox, "Panel1", 16, 56, 881, 105, "Eingabe-Box"},
    {"LabelCounter", ControlKind::Label, "InpGroup", 144, 64, 33, 24, "???",
     {"Times New Roman", -21, true, true, Colour::Green}},
    {"InputMemo", ControlKind::Memo, "InpGroup", 8, 16, 857, 25, SampleSentence,
     {"Courier New", -16, true, false, Colour::Yellow}, Colour::Navy},
    {.name = "CounterBtn", .kind = ControlKind::BitBtn, .parent = "InpGroup",
     .left = 8, .top = 64, .width = 129, .height = 25, .text = "Character Counter",
     .button = ButtonKind::OK, .enabled = false},
    {"StaticText1", ControlKind::StaticText, "InpGroup", 184, 72, 55, 17, "Characters"},
    {.name = "TestBtn", .kind = ControlKind::BitBtn, .parent = "InpGroup",
     .left = 392, .top = 64, .width = 129, .height = 25, .text = "Zeichentest",
     .button = ButtonKind::Yes},
    {"StaticText2", ControlKind::StaticText, "InpGroup", 536, 72, 333, 17,
     "ACHTUNG: ... nur englische Großbuchtaben, Ziffern und Leerzeichen",
     {"MS Sans Serif", -11, false, false, Colour::Red}},
    {.name = "StaticText6", .kind = ControlKind::StaticText, .parent = "InpGroup",
     .left = 248, .top = 72, .width = 121, .height = 17, .text = "zu lang - auf 80 kürzen!!!",
     .visible = false},
    {"HoleCardGroup", ControlKind::GroupBox, "Panel1", 16, 176, 1313, 473, "Lochkarte"},
    {"StaticText3", ControlKind::StaticText, "Panel1", 16, 16, 172, 28, "Perforon ",
     {"Times New Roman", -21, true, true, Colour::Maroon}},
    {"StaticText4", ControlKind::StaticText, "Panel1", 1056, 16, 85, 18, "Beginn: 3.4.2023",
     {"Times New Roman", -11, true, true, Colour::Red}},
    {"StaticText5", ControlKind::StaticText, "Panel1", 1160, 16, 161, 18,
     "Aktueller Arbeitsstand: 16.4.2023", {"Times New Roman", -11, true, true, Colour::Green}},
    {.name = "TestMemo", .kind = ControlKind::Memo, .parent = "Panel1",
     .left = 464, .top = 16, .width = 577, .height = 25, .enabled = false},
    {"StaticText7", ControlKind::StaticText, "Panel1", 320, 16, 143, 18,
     "Testfeld für max. 80 Zeiechen", {"Times New Roman", -11, true, true, Colour::WindowText}},
}};
// clang-format on
