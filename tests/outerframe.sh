#!/bin/sh
# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's window as the window manager frames it: the outer frame,
# the client area and the frame extents the manager reports together, is at
# 200,196 and 1369 x 712, where no frame is reported the client area alone.
# Some managers tell their frame late, so the check waits a few seconds for
# the window to settle before it fails.
#   outerframe.sh PROGRAM   (DISPLAY set)
set -eu
program=$1
expected="200,196 1369x712"

"$program" >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" --class perforon | head -n 1)

# Sets outer to the frame's place and size, and extents to what the
# manager reports: left, right, top, bottom, or nothing.
measure() {
    eval "$(xwininfo -id "$window" | awk '
        /Absolute upper-left X/ { print "x=" $NF } /Absolute upper-left Y/ { print "y=" $NF }
        /^ *Width:/ { print "w=" $NF } /^ *Height:/ { print "h=" $NF }')"
    extents=$(xprop -id "$window" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ' ')
    IFS=, read -r left right top bottom <<END
${extents:-0,0,0,0}
END
    outer="$((x - left)),$((y - top)) $((w + left + right))x$((h + top + bottom))"
}

n=0
measure
while [ "$outer" != "$expected" ] && [ "$n" -lt 50 ]; do
    n=$((n + 1))
    sleep 0.1
    measure
done
first=$outer
# Settled: still the same a moment later.
sleep 1
measure
if [ "$first" = "$expected" ] && [ "$outer" = "$expected" ]; then
    echo "outer frame $expected, frame extents ${extents:-none}"
else
    echo "outer frame $first, a second later $outer (frame extents ${extents:-none}); expected $expected"
    exit 1
fi
