// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

// Card rows are named 12, 11, 0, 1, ..., 9 from top to bottom; a row
// position numbers them 1 to 12 in that order.
constexpr int CardRows = 12;
constexpr int CardColumns = 80;
constexpr int CardPositions = CardRows * CardColumns;

// Row position (1 to 12) of a card row name (12, 11, 0 to 9).
constexpr int rowPosition(int cardRow)
{
    return cardRow == 12 ? 1 : cardRow == 11 ? 2 : cardRow + 3;
}

// Card row name (12, 11, 0 to 9) of a row position (1 to 12).
constexpr int cardRow(int position)
{
    return position == 1 ? 12 : position == 2 ? 11 : position - 3;
}

// Flat index of (row position, column): row position major, 80 per row.
// The card face keeps its hole marks in the same order.
constexpr int flatIndex(int position, int column)
{
    return (position - 1) * CardColumns + (column - 1);
}

// One character of the Hollerith card code and the card rows it punches,
// zone row first. NoRow fills the unused places.
struct PunchCodeEntry
{
    static constexpr int NoRow = -1;
    char character;
    std::array<int, 2> rows;
};

// The card code: the space, the ten digits and the 26 capital letters.
// A digit punches its own row; A to I punch row 12, J to R row 11 and
// S to Z row 0, each with a digit row.
// clang-format off
inline constexpr std::array<PunchCodeEntry, 37> PunchCodeTable = {{
    {' ', {PunchCodeEntry::NoRow, PunchCodeEntry::NoRow}},
    {'0', {0, PunchCodeEntry::NoRow}}, {'1', {1, PunchCodeEntry::NoRow}},
    {'2', {2, PunchCodeEntry::NoRow}}, {'3', {3, PunchCodeEntry::NoRow}},
    {'4', {4, PunchCodeEntry::NoRow}}, {'5', {5, PunchCodeEntry::NoRow}},
    {'6', {6, PunchCodeEntry::NoRow}}, {'7', {7, PunchCodeEntry::NoRow}},
    {'8', {8, PunchCodeEntry::NoRow}}, {'9', {9, PunchCodeEntry::NoRow}},
    {'A', {12, 1}}, {'B', {12, 2}}, {'C', {12, 3}}, {'D', {12, 4}}, {'E', {12, 5}},
    {'F', {12, 6}}, {'G', {12, 7}}, {'H', {12, 8}}, {'I', {12, 9}},
    {'J', {11, 1}}, {'K', {11, 2}}, {'L', {11, 3}}, {'M', {11, 4}}, {'N', {11, 5}},
    {'O', {11, 6}}, {'P', {11, 7}}, {'Q', {11, 8}}, {'R', {11, 9}},
    {'S', {0, 2}}, {'T', {0, 3}}, {'U', {0, 4}}, {'V', {0, 5}}, {'W', {0, 6}},
    {'X', {0, 7}}, {'Y', {0, 8}}, {'Z', {0, 9}},
}};
// clang-format on

// The code entry of a Windows-1252 byte, or nullptr when the byte is
// outside the card code.
const PunchCodeEntry *PunchCode(unsigned char byte);

// The hole flags of one 80-column card, all unpunched at first.
class TPunchCard
{
public:
    void ClearCard() { flags.reset(); }

    bool isPunched(int position, int column) const { return isPunched(flatIndex(position, column)); }
    bool isPunched(int index) const { return flags.test(static_cast<std::size_t>(index)); }
    void punch(int position, int column) { flags.set(static_cast<std::size_t>(flatIndex(position, column))); }

    const std::bitset<CardPositions> &holes() const { return flags; }
    bool operator==(const TPunchCard &) const = default;

private:
    std::bitset<CardPositions> flags;
};

// Called once for each character outside the card code, at its turn.
using RejectionAction = std::function<void()>;

// Punches character i of the text into column i, adding to the holes that
// are there. A character outside the card code leaves its column blank and
// runs the rejection action; the holes of all earlier columns are set by
// then. Characters after the 80th have no column: they punch nothing and
// are not rejected.
void PunchText(TPunchCard &card, std::string_view text, const RejectionAction &reject);
