// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "messagebox.h"

#include <QPointer>

class QWidget;

// The program's message box: owned by the application rather than by a
// window, it disables every window of the program while it is up, and hands
// activation and focus back to where they were when it is dismissed.
class ApplicationMessageBox : public MessageBox
{
public:
    // Where the platform lets the program place its boxes, they stay off
    // this area: above it, centred on its window, unless the screen has no
    // room for that.
    void keepClearOf(const QWidget *area) { clearArea = area; }

    void show(const QString &title, const QString &body) override;

private:
    QPointer<const QWidget> clearArea;
};
