// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// The input box holds UTF-16; the card logic works on Windows-1252 bytes,
// one byte per character. Every character of Windows-1252 becomes its byte,
// every other one (a character outside the Basic Multilingual Plane, given
// as two code units, included) becomes one '?'. Each line break (LF, CR,
// CR LF, U+2028, U+2029) becomes CR LF.
std::string encodeInputText(std::u16string_view text);

// The way back, for showing bytes in a text box; CR LF stays CR LF.
std::u16string decodeInputText(std::string_view text);
