#!/bin/sh
# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A display server of its own for the tests on real display servers.
#   displayserver.sh x11 DIR      Xvfb on a free display, two monitors wide,
#                                 with openbox and the German keyboard
#   displayserver.sh kwin DIR     Xvfb on a free display, KDE's window manager
#                                 on it in a D-Bus session of its own, and the
#                                 German keyboard
#   displayserver.sh wayland DIR  weston's headless backend on its own socket
#   displayserver.sh wine DIR WINE DLLDIRS
#                                 the X server of x11, and a Wine prefix of its
#                                 own whose programs find their DLLs in
#                                 DLLDIRS, separated by colons (Windows builds)
#   displayserver.sh stop DIR     ends what the start left running
# A start writes DIR/env, the variables a test needs to reach the server
# (read by ondisplay.sh), and DIR/pids, the processes that stop ends.
set -eu
action=$1
dir=$2

# Waits up to ten seconds for a condition given as a command.
await() {
    n=0
    until "$@" >/dev/null 2>&1; do
        n=$((n + 1))
        [ "$n" -le 100 ] || { echo "displayserver.sh: timed out waiting for: $*" >&2; exit 1; }
        sleep 0.1
    done
}

# Xvfb on a free display: it writes the display's number once it is ready.
start_xvfb() {
    rm -rf "$dir" && mkdir -p "$dir"
    Xvfb -displayfd 3 -screen 0 "$1x24" -noreset -nolisten tcp 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/pids"
    await test -s "$dir/display"
    display=:$(cat "$dir/display")
    printf 'DISPLAY=%s\nQT_QPA_PLATFORM=xcb\n' "$display" >"$dir/env"
}

await_window_manager() {
    await sh -c "DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"
}

case $action in
x11)
    # Wide enough for the main window on either half, when a test splits
    # the screen into two monitors.
    start_xvfb 3200x1000
    DISPLAY=$display openbox >"$dir/openbox.log" 2>&1 &
    echo $! >>"$dir/pids"
    await_window_manager
    DISPLAY=$display setxkbmap de
    ;;
kwin)
    start_xvfb 1600x1000
    # KWin keeps its settings and its D-Bus session in the fixture's folder,
    # in a process group of its own that stop ends as a whole. Without
    # compositing it needs no OpenGL; KDE_DEBUG keeps it from restarting
    # itself when it loses its display.
    mkdir -p "$dir/runtime" && chmod 700 "$dir/runtime"
    DISPLAY=$display XDG_RUNTIME_DIR=$dir/runtime XDG_CONFIG_HOME=$dir/config XDG_CACHE_HOME=$dir/cache \
        XDG_DATA_HOME=$dir/data KWIN_COMPOSE=N KDE_DEBUG=1 QT_QPA_PLATFORM=xcb \
        setsid dbus-run-session -- kwin_x11 --replace >"$dir/kwin.log" 2>&1 &
    echo "-$!" >>"$dir/pids"
    await_window_manager
    DISPLAY=$display setxkbmap de
    ;;
wine)
    wine=$3
    sh "$0" x11 "$dir"
    display=$(sed -n 's/^DISPLAY=//p' "$dir/env")
    # Wine's path names the folders as drive Z: sees them. No Mono or Gecko
    # install prompts: the programs need neither.
    winepath=$(echo "$4" | tr ':' '\n' | sed 's/^/Z:/' | paste -sd ';')
    printf 'WINEPREFIX=%s\nWINEDEBUG=-all\nWINEDLLOVERRIDES=mscoree,mshtml=\nWINEPATH="%s"\n' \
        "$dir/prefix" "$winepath" >"$dir/wine.env"
    set -a
    . "$dir/wine.env"
    set +a
    DISPLAY=$display "$wine" wineboot --init >"$dir/wineboot.log" 2>&1
    printf 'DISPLAY=%s\nQT_QPA_PLATFORM=windows\n' "$display" | cat - "$dir/wine.env" >"$dir/env"
    echo "$(dirname "$wine")/wineserver" >"$dir/wineserver"
    ;;
wayland)
    rm -rf "$dir" && mkdir -p "$dir/runtime"
    chmod 700 "$dir/runtime"
    socket=perforon-test-$$
    XDG_RUNTIME_DIR=$dir/runtime weston --backend=headless-backend.so --socket="$socket" --idle-time=0 \
        >"$dir/weston.log" 2>&1 &
    echo $! >"$dir/pids"
    await test -S "$dir/runtime/$socket"
    # weston's headless backend has no seat, and Qt 6.4's Wayland text
    # input dereferences the missing keyboard: no input method for the tests.
    printf 'XDG_RUNTIME_DIR=%s\nWAYLAND_DISPLAY=%s\nQT_QPA_PLATFORM=wayland\nQT_IM_MODULE=none\n' \
        "$dir/runtime" "$socket" >"$dir/env"
    ;;
stop)
    [ -f "$dir/pids" ] || exit 0
    # Wine's server first, while its X server is still there.
    if [ -f "$dir/wineserver" ]; then
        WINEPREFIX=$dir/prefix "$(cat "$dir/wineserver")" -k 2>/dev/null || true
    fi
    # Last started first: the window manager ends while its X server is
    # still there. A negative id names a process group.
    for pid in $(tac "$dir/pids"); do
        kill -- "$pid" 2>/dev/null || true
        n=0
        while kill -0 -- "$pid" 2>/dev/null && [ "$n" -lt 50 ]; do n=$((n + 1)); sleep 0.1; done
        kill -9 -- "$pid" 2>/dev/null || true
    done
    rm -f "$dir/pids" "$dir/env"
    ;;
*)
    echo "usage: displayserver.sh x11|kwin|wayland|stop DIR, or wine DIR WINE DLLPATH" >&2
    exit 2
    ;;
esac
