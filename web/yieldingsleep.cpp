// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// In the browser a test that waits has to hand the page its event loop
// back, or no timer, key or repaint reaches the program meanwhile. QTest
// sleeps between its rounds of events with nanosleep, which Emscripten
// spends spinning. Here it waits for the program's next event instead, at
// the latest for a timer of the sleep's length, in Qt's own way of
// suspending the program, so that a box's event loop can suspend it in
// the same way afterwards. Qt suspends one thing at a time: where it is
// suspended already (in a box, and this sleep comes from a timer that Qt
// runs beside it), or a closed box's loop is still waking (wakeup.h), the
// sleep returns at once.

#include "wakeup.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <emscripten.h>
#include <emscripten/val.h>

#include <ctime>
#include <string>

extern "C" int nanosleep(const struct timespec *duration, struct timespec *remaining)
{
    const auto ms = static_cast<int>(duration->tv_sec * 1000 + duration->tv_nsec / 1000000);
    if (!QCoreApplication::instance()) {
        emscripten_sleep(static_cast<unsigned>(ms));
    } else if (emscripten::val::module_property("qtAsyncifyWakeUp").typeOf().as<std::string>() != "function"
               && !wakeUpPending()) {
        // Qt keeps the function that resumes it on the module only while it
        // is suspended (at other times the property is unset or an empty
        // list). It runs a timer beside a suspended program; this one's
        // wake-up resumes it.
        QTimer wakeUp;
        wakeUp.setSingleShot(true);
        QObject::connect(&wakeUp, &QTimer::timeout, [] { QCoreApplication::eventDispatcher()->wakeUp(); });
        wakeUp.start(ms);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (remaining)
        *remaining = {};
    return 0;
}
