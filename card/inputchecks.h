// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "messages.h"

#include <cstddef>
#include <string>
#include <string_view>

// The card's column count is also the longest permitted text.
constexpr std::size_t ColumnLimit = 80;

struct LengthCheck
{
    std::size_t count = 0; // characters, CR and LF one each
    bool permitted = true; // count <= ColumnLimit

    const Message &message() const { return permitted ? LengthPermittedMessage : LengthTooLongMessage; }
};

struct CharacterCheck
{
    bool allowed = true; // every character is in the card code
    std::string echo;    // the examined characters, rejected ones included

    const Message &message() const { return allowed ? CharactersCorrectMessage : CharactersWrongMessage; }
};

LengthCheck CheckLength(std::string_view text);
CharacterCheck CheckCharacters(std::string_view text);
