// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target over the card logic: arbitrary bytes as a text for the
// checks and the punch, and the same bytes as UTF-16 for the input text
// conversion. Any broken invariant aborts the run.

#include "hollerith.h"
#include "inputchecks.h"
#include "inputtext.h"
#include "punchcard.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

std::bitset<CardPositions> expectedHoles(std::string_view text)
{
    std::bitset<CardPositions> holes;
    for (std::size_t i = 0; i < text.size() && i < CardColumns; ++i) {
        for (int position : expectedPositions(text[i]))
            holes.set(std::size_t(position - 1) * CardColumns + i);
    }
    return holes;
}

void checkText(std::string_view text)
{
    const LengthCheck length = CheckLength(text);
    require(length.count == text.size());
    require(length.permitted == (text.size() <= 80));

    const CharacterCheck characters = CheckCharacters(text);
    require(characters.echo == text);
    std::size_t rejectedInColumns = 0;
    bool allowed = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool known = inCardCode(text[i]);
        allowed = allowed && known;
        if (!known && i < CardColumns)
            ++rejectedInColumns;
    }
    require(characters.allowed == allowed);

    // On a fresh card: one rejection per unknown character among the first 80.
    TPunchCard card;
    std::size_t rejections = 0;
    PunchText(card, text, [&rejections] { ++rejections; });
    require(rejections == rejectedInColumns);
    require(card.holes() == expectedHoles(text));

    // Punching again changes nothing.
    const TPunchCard once = card;
    PunchText(card, text, [] {});
    require(card == once);

    // On a card already punched: the union.
    constexpr std::string_view earlier = "A1Z 09 JR SI";
    TPunchCard punched;
    PunchText(punched, earlier, [] {});
    PunchText(punched, text, [] {});
    require(punched.holes() == (expectedHoles(earlier) | expectedHoles(text)));
}

void checkConversion(std::u16string_view text)
{
    const std::string bytes = encodeInputText(text);
    require(bytes.size() <= 2 * text.size());
    // Line breaks come out as CR LF only.
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r')
            require(i + 1 < bytes.size() && bytes[i + 1] == '\n');
        if (bytes[i] == '\n')
            require(i > 0 && bytes[i - 1] == '\r');
    }
    // What the box would show again converts to the same bytes.
    require(encodeInputText(decodeInputText(bytes)) == bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    checkText({reinterpret_cast<const char *>(data), size});
    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = char16_t(data[2 * i] | data[2 * i + 1] << 8);
    checkConversion(units);
    return 0;
}
