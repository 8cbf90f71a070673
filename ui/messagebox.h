// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QString;

// Shows a modal box with a title, a body and one OK button, and returns
// when the operator has dismissed it.
class MessageBox
{
public:
    MessageBox() = default;
    virtual ~MessageBox() = default;
    MessageBox(const MessageBox &) = delete;
    MessageBox &operator=(const MessageBox &) = delete;

    virtual void show(const QString &title, const QString &body) = 0;
};
