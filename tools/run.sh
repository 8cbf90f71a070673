#!/bin/sh
# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up a Debian 12 machine, builds the program and starts it.
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh qt6-wayland
tools/build.sh
exec build/ui/perforon
