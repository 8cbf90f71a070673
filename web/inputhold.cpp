// SPDX-FileCopyrightText: 2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The operator's input held back while a closed box's loop is still waking
// (wakeup.h). A key that opened the next box in that gap (Enter on the
// default button right after Enter closed the last box) suspended the
// program a second time, the first loop never woke, and the new box
// answered nothing more. So keys, clicks, the wheel and touches wait while
// a wake-up is pending, and are handed on in their order once the loop has
// woken.

#include "wakeup.h"

#include <QGuiApplication>
#include <private/qguiapplication_p.h>
#include <qpa/qwindowsysteminterface_p.h>

#include <emscripten.h>

#include <deque>
#include <memory>

namespace {

using Event = QWindowSystemInterfacePrivate::WindowSystemEvent;

// A copy of the operator's input events; other events go on at once.
std::unique_ptr<Event> copyOfInput(const Event *event)
{
    using Private = QWindowSystemInterfacePrivate;
    switch (event->type) {
    case Private::Key:
        return std::make_unique<Private::KeyEvent>(*static_cast<const Private::KeyEvent *>(event));
    case Private::Mouse:
        return std::make_unique<Private::MouseEvent>(*static_cast<const Private::MouseEvent *>(event));
    case Private::Wheel:
        return std::make_unique<Private::WheelEvent>(*static_cast<const Private::WheelEvent *>(event));
    case Private::Touch:
        return std::make_unique<Private::TouchEvent>(*static_cast<const Private::TouchEvent *>(event));
    default:
        return nullptr;
    }
}

class InputHold final : public QWindowSystemEventHandler
{
public:
    bool sendEvent(Event *event) override
    {
        if (held.empty() && !wakeUpPending())
            return QWindowSystemEventHandler::sendEvent(event);
        std::unique_ptr<Event> copy = copyOfInput(event);
        if (!copy)
            return QWindowSystemEventHandler::sendEvent(event);
        if (held.empty())
            emscripten_async_call(handOn, this, 0);
        held.push_back(std::move(copy));
        event->eventAccepted = true; // the page does nothing of its own with it
        return true;
    }

private:
    // Hands on one held event per turn of the browser's loop, so that one
    // that opens a box leaves the rest to reach that box in their order.
    static void handOn(void *self)
    {
        runWhenAwake([hold = static_cast<InputHold *>(self)] {
            const std::unique_ptr<Event> event = std::move(hold->held.front());
            hold->held.pop_front();
            if (!hold->held.empty())
                emscripten_async_call(handOn, hold, 0);
            QGuiApplicationPrivate::processWindowSystemEvent(event.get());
        });
    }

    std::deque<std::unique_ptr<Event>> held;
};

void holdInputWhileWaking()
{
    static InputHold hold;
    QWindowSystemInterfacePrivate::installWindowSystemEventHandler(&hold);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(holdInputWhileWaking)
