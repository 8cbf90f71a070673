#!/bin/sh
# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes docs/perforon.png: the program under a virtual X server, driven by
# keys through a whole line (clear, type, test, count, punch), then shot.
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh xvfb xdotool imagemagick
tools/build.sh >/dev/null
line="HOLLERITH 1890 ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789"
display=:${SCREENSHOT_DISPLAY:-77}

Xvfb "$display" -screen 0 1600x960x24 -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $program $xvfb 2>/dev/null || true' EXIT
export DISPLAY="$display"
sleep 1
build/ui/perforon &
program=$!
sleep 2
window=$(xdotool search --sync --name '^Perforon$' | head -n 1)
keys() { xdotool key --delay 150 "$@"; sleep 0.5; }
keys Escape Tab Tab              # clear the input, into the input box
xdotool type --delay 20 "$line"
keys Tab Return Return           # test, dismiss its box
keys Return Return               # count, dismiss its box
keys Tab Tab Tab space           # to "Lochkarte stanzen" and punch
import -window "$window" docs/perforon.png
echo "docs/perforon.png written"
