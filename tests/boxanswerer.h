// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <functional>

// Answers the program's real message boxes from a timer, as an operator
// would: each box that comes up as the active modal widget is handed to
// the check and then dismissed with its OK button, whatever the check found.
class BoxAnswerer
{
public:
    explicit BoxAnswerer(std::function<void(QMessageBox *)> check) : check(std::move(check))
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] { answer(); });
        timer.start();
    }

    int answered = 0;

private:
    void answer()
    {
        // A box is answered once it is on the screen, as the operator answers
        // it; till then the timer comes back to it. (In the browser a wait in
        // here could not let the box reach the screen.)
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->windowHandle() || !box->windowHandle()->isExposed())
            return;
        ++answered;
        // A check may wait for the screen; meanwhile the timer rests.
        timer.stop();
        check(box);
        box->button(QMessageBox::Ok)->click();
        timer.start();
    }

    std::function<void(QMessageBox *)> check;
    QTimer timer;
};
