#!/bin/sh
# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up a Debian 12 machine, builds everything and runs every test:
# headless (offscreen), then on a virtual X server with a window manager
# (openbox, and KDE's with its Breeze frame) and under a headless Wayland
# compositor, which the tests start themselves.
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh python3 xvfb openbox x11-utils x11-xserver-utils xdotool imagemagick weston qt6-wayland \
    kwin-x11 kwin-style-breeze dbus-daemon qt6-gtk-platformtheme adwaita-qt6
tools/build.sh
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure --timeout 300
