// SPDX-FileCopyrightText: 2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a closed box's loop is still waking, and actions that wait for it.

#include "wakeup.h"

#include <emscripten.h>

#include <memory>

// Emscripten keeps a suspended loop's state until the loop runs again, and
// Qt drops its wake-up function as soon as it has scheduled the wake-up.
// clang-format off
EM_JS(bool, wakeUpPendingInPage, (), {
    return typeof Asyncify !== 'undefined' && !!Asyncify.currData && Module.qtAsyncifyWakeUp === undefined;
});
// clang-format on

bool wakeUpPending()
{
    return wakeUpPendingInPage();
}

void runWhenAwake(std::function<void()> action)
{
    if (!wakeUpPending()) {
        action();
        return;
    }
    emscripten_async_call(
        [](void *waiting) {
            const std::unique_ptr<std::function<void()>> action(
                static_cast<std::function<void()> *>(waiting));
            runWhenAwake(std::move(*action));
        },
        new std::function<void()>(std::move(action)), 0);
}
