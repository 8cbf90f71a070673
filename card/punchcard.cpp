// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "punchcard.h"

#include <algorithm>

namespace {

using CodeIndex = std::array<const PunchCodeEntry *, 256>;

constexpr CodeIndex buildCodeIndex()
{
    CodeIndex index{};
    for (const PunchCodeEntry &entry : PunchCodeTable)
        index[static_cast<unsigned char>(entry.character)] = &entry;
    return index;
}

constexpr CodeIndex codeIndex = buildCodeIndex();

} // namespace

const PunchCodeEntry *PunchCode(unsigned char byte)
{
    return codeIndex.at(byte);
}

void PunchText(TPunchCard &card, std::string_view text, const RejectionAction &reject)
{
    const std::size_t columns = std::min<std::size_t>(text.size(), CardColumns);
    for (std::size_t i = 0; i < columns; ++i) {
        const PunchCodeEntry *entry = PunchCode(static_cast<unsigned char>(text[i]));
        if (!entry) {
            reject();
            continue;
        }
        for (int row : entry->rows) {
            if (row != PunchCodeEntry::NoRow)
                card.punch(rowPosition(row), static_cast<int>(i) + 1);
        }
    }
}
