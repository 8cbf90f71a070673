// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <set>

// The Hollerith rule, stated apart from the program's table: a digit punches
// its row; A to I punch zone 12, J to R zone 11, S to Z zone 0, each with
// the letter's digit row (1 to 9, and 2 to 9 for S to Z). Gives row
// positions 1 to 12 (row 12, row 11, row 0, rows 1 to 9).
inline std::set<int> expectedPositions(char c)
{
    const auto position = [](int row) { return row == 12 ? 1 : row == 11 ? 2 : row + 3; };
    if (c >= '0' && c <= '9')
        return {position(c - '0')};
    if (c >= 'A' && c <= 'I')
        return {position(12), position(c - 'A' + 1)};
    if (c >= 'J' && c <= 'R')
        return {position(11), position(c - 'J' + 1)};
    if (c >= 'S' && c <= 'Z')
        return {position(0), position(c - 'S' + 2)};
    return {};
}

inline bool inCardCode(char c)
{
    return c == ' ' || !expectedPositions(c).empty();
}
