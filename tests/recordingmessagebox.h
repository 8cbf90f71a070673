// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "messagebox.h"

#include <QList>
#include <QPair>
#include <QString>

#include <functional>

// Stands in for the program's message box: records each box instead of
// showing it, and can run a check at the moment a box would be up.
class RecordingMessageBox : public MessageBox
{
public:
    using Box = QPair<QString, QString>; // title, body

    void show(const QString &title, const QString &body) override
    {
        boxes.append({title, body});
        if (whileUp)
            whileUp();
    }

    QList<Box> takeBoxes() { return std::exchange(boxes, {}); }

    QList<Box> boxes;
    std::function<void()> whileUp;
};
