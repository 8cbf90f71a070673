// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "inputtext.h"

#include <array>

namespace {

constexpr char Unmappable = '?';
constexpr char16_t LineSeparator = 0x2028;
constexpr char16_t ParagraphSeparator = 0x2029;

// The characters of bytes 0x80 to 0x9F; the five bytes Windows-1252 leaves
// undefined keep their own value, as Windows does.
// clang-format off
constexpr std::array<char16_t, 32> upperControlBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
// clang-format on

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

char encodeCharacter(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < upperControlBlock.size(); ++i) {
        if (upperControlBlock[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return Unmappable;
}

} // namespace

std::string encodeInputText(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n' || c == LineSeparator || c == ParagraphSeparator) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            bytes += "\r\n";
        } else if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            ++i; // one character in two code units
            bytes += Unmappable;
        } else {
            bytes += encodeCharacter(c);
        }
    }
    return bytes;
}

std::u16string decodeInputText(std::string_view text)
{
    std::u16string chars;
    chars.reserve(text.size());
    for (char byte : text) {
        const auto b = static_cast<unsigned char>(byte);
        chars += (b >= 0x80 && b < 0xA0) ? upperControlBlock[b - 0x80] : char16_t(b);
    }
    return chars;
}
