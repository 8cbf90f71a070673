#!/bin/sh
# Sets up a Debian 12 machine, builds the program and starts it.
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh qt6-wayland
tools/build.sh
exec build/ui/perforon
