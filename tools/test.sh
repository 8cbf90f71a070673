#!/bin/sh
# Sets up a Debian 12 machine, builds everything and runs every test headless.
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure --timeout 300
