// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "inputchecks.h"

#include "punchcard.h"

LengthCheck CheckLength(std::string_view text)
{
    return {text.size(), text.size() <= ColumnLimit};
}

CharacterCheck CheckCharacters(std::string_view text)
{
    CharacterCheck check;
    check.echo.reserve(text.size());
    for (char c : text) {
        check.echo += c;
        if (!PunchCode(static_cast<unsigned char>(c)))
            check.allowed = false;
    }
    return check;
}
