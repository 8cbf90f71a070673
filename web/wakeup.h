// SPDX-FileCopyrightText: 2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// In the browser a box's event loop suspends the whole program, and Qt can
// suspend it only once at a time. When the box closes, Qt resumes the
// suspended loop from a zero timer, which the browser may run after other
// timers and after keys and clicks when it is busy. Whatever may bring up
// the next box waits until that loop has woken.

#pragma once

#include <functional>

// Whether a closed box's loop has been told to resume and has not yet run.
bool wakeUpPending();

// Runs the action now, or as soon as no such wake-up is pending.
void runWhenAwake(std::function<void()> action);
