#!/bin/sh
# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The program on a real X server ignores its arguments: started with Qt's
# own options it shows the same window, pixel for pixel, with the same
# caption, and its window class is the desktop entry's StartupWMClass.
#   arguments.sh PROGRAM DESKTOP-ENTRY WORKDIR   (DISPLAY set)
set -eu
program=$1
entry=$2
work=$3
mkdir -p "$work"

shoot() {
    "$program" "$@" >/dev/null 2>&1 &
    pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" --class perforon | head -n 1)
    sleep 1 # the first paint
    caption=$(xdotool getwindowname "$window")
    class=$(xprop -id "$window" WM_CLASS)
    import -window "$window" "$work/shot.png"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

shoot
plain_caption=$caption plain_class=$class
mv "$work/shot.png" "$work/plain.png"
shoot -qwindowtitle Hallo -reverse -style windows -name anders
mv "$work/shot.png" "$work/arguments.png"

status=0
[ "$caption" = "Perforon" ] && [ "$plain_caption" = "Perforon" ] \
    || { echo "caption: '$plain_caption', with arguments '$caption'"; status=1; }
wmclass=$(sed -n 's/^StartupWMClass=//p' "$entry")
[ "$class" = "$plain_class" ] && [ "$class" = "WM_CLASS(STRING) = \"perforon\", \"$wmclass\"" ] \
    || { echo "window class: $plain_class, with arguments $class; the entry says $wmclass"; status=1; }
differing=$(compare -metric AE "$work/plain.png" "$work/arguments.png" null: 2>&1 || true)
[ "$differing" = "0" ] || { echo "with arguments, $differing pixels differ"; status=1; }
[ "$status" = 0 ] && echo "arguments ignored: caption, class and picture unchanged"
exit "$status"
