#!/bin/sh
# Sets up a Debian 12 machine, builds everything and runs every test:
# headless (offscreen), then on a virtual X server with a window manager and
# under a headless Wayland compositor, which the tests start themselves.
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh xvfb openbox x11-utils xdotool imagemagick weston qt6-wayland
tools/build.sh
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure --timeout 300
