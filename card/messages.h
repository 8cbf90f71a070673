// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

// The texts of every message box the operator sees, in UTF-8. The odd
// spellings are the program's own and stay as they are.
struct Message
{
    std::string_view title;
    std::string_view body;
};

inline constexpr std::string_view GoodTitle = "WOW";
inline constexpr std::string_view BadTitle = "ACHTUNG";

inline constexpr Message LengthPermittedMessage{GoodTitle, "Zeichenzahl zulässig"};
inline constexpr Message LengthTooLongMessage{
    BadTitle, "Zeichenanzhl zu groß - kürzen auf maximal 80 Zeichen - bitte Wiederhole-Button nutzen!!!"};
inline constexpr Message CharactersCorrectMessage{GoodTitle, "Eingabetext korrekt"};
inline constexpr Message CharactersWrongMessage{
    BadTitle,
    "Eingabetext falsch nur englischsprachige Großbuchstaben, Ziffern sowie Leerzeichen sind "
    "zugelassen - bitte korrigieren!"};
inline constexpr Message RejectionMessage{BadTitle, "Zeichen nicht in der definierten Menge!"};
