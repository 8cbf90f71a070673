#!/bin/bash
# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Perforon for 64-bit Windows in the Debian 13 build root, runs every
# test suite under Wine, packs build-win64/perforon-<version>-win64.zip and
# the installer build-win64/perforon-<version>-win64-setup.exe, checks what
# they ship against its floors, and tries both under Wine as a user and an
# administrator would.
#
# Qt for Windows is cross-built once from Debian 13's own qt6-base source
# and kept in ~/.cache/perforon (PERFORON_CACHE), keyed by what it is made
# from and its configure options; later runs reuse it.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
. tools/qtsource.sh

qt_options=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    "${qt_modules_off[@]}"
    "${qt_features_off[@]}"
    # Qt's styles for Windows 10 and 11, which the zip ships, take these
    # widgets and style sheets in: named on again here, after the list that
    # turns them off, since CMake keeps the last setting of each.
    -DFEATURE_graphicsview=ON -DFEATURE_commandlinkbutton=ON -DFEATURE_treeview=ON
    -DFEATURE_tableview=ON -DFEATURE_tabbar=ON -DFEATURE_mainwindow=ON
    -DFEATURE_inputdialog=ON -DFEATURE_cssparser=ON
    # The program draws with the raster engine and Qt's FreeType (qt.conf).
    # DirectWrite stays in as Qt's default: without Direct2D beside it, Qt
    # 6.8's Windows font database does not compile.
    -DINPUT_opengl=no
    # Direct2D's own platform plugin, which the program does not use.
    -DFEATURE_direct2d1_1=OFF
    # Debian's source leaves out the Wintab header tablets need.
    -DFEATURE_tabletevent=OFF
    "${qt_libraries_bundled[@]}"
)
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
build=build-win64

install_packages() {
    tools/setup.sh python3 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
        binutils-mingw-w64-x86-64 wine64 ninja-build dpkg-dev unzip nsis \
        xvfb openbox x11-utils xdotool imagemagick
}

# The modules and plugins the zip ships, whose notices it carries.
qt_shipped=(Core Gui Widgets QWindowsIntegrationPlugin QModernWindowsStylePlugin)

configure_qt() {
    cmake -G Ninja -S "$1" -B "$2" \
        -DCMAKE_TOOLCHAIN_FILE="$repo/tools/mingw-w64.cmake" \
        -DCMAKE_CROSSCOMPILING_EMULATOR= \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -dumpmachine)/cmake" \
        -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
        "${qt_options[@]}" >"$2.configure.log"
}

build_perforon() {
    # The Qt in the cache may have been built from another clone: the
    # toolchain it chains to is this one's.
    build_against_qt -DQT_CHAINLOAD_TOOLCHAIN_FILE="$repo/tools/mingw-w64.cmake"
}

# A fresh Wine prefix with no paths set, on a virtual X server with openbox,
# for a check given as a function: as a Windows user's machine would be.
# Wine makes no menu entries on the Linux desktop for the shortcuts.
in_fresh_prefix() {
    local work
    work=$(mktemp -d)
    sh tests/displayserver.sh x11 "$work/display"
    # Wine's server of the prefix writes its registry as it ends: it is
    # ended, and waited for, before the prefix goes.
    trap "WINEPREFIX='$work/prefix' '$wineserver' -k 2>/dev/null; WINEPREFIX='$work/prefix' '$wineserver' -w
        sh tests/displayserver.sh stop '$work/display'; rm -rf '$work'" RETURN
    (
        export DISPLAY=$(sed -n 's/^DISPLAY=//p' "$work/display/env") WINEPREFIX=$work/prefix WINEDEBUG=-all \
            WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
        unset WINEPATH QT_QPA_PLATFORM QT_PLUGIN_PATH
        "$wine" wineboot --init >/dev/null 2>&1
        cd "$work"
        "$@"
    )
}

# Starts the program with the command given, as a user would, and checks
# that its window lies on the described outer rectangle (200,196,
# 1369 x 712) and that C at start closes it; the picture of the window goes
# to $build/PICTURE.png. Wine keeps the Windows borders in its X window and
# leaves the caption to the window manager, so the X window spans the
# rectangle's left, right and bottom edges and starts below its top by the
# caption's height.
starts_and_closes() {
    local picture=$1
    shift
    "$@" >/dev/null 2>&1 &
    local window x y w h
    window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Perforon$' | head -n 1) || true
    [ -n "$window" ] || { echo "no window showed"; return 1; }
    # The first paint is done when two pictures of the window agree.
    local n=0
    import -window "$window" shot-a.png
    until import -window "$window" shot-b.png && cmp -s shot-a.png shot-b.png || [ $n -ge 50 ]; do
        mv shot-b.png shot-a.png; sleep 0.2; n=$((n + 1))
    done
    read -r x y w h < <(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$4}
        /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
    import -window root "$repo/$build/$picture.png"
    xdotool key c
    local closed=no
    n=0
    while [ $n -lt 100 ]; do
        xwininfo -id "$window" >/dev/null 2>&1 || { closed=yes; break; }
        sleep 0.1; n=$((n + 1))
    done
    echo "X window from $x,$y to $((x + w)),$((y + h)), closed by C: $closed (picture in $build/$picture.png)"
    [ "$x" = 200 ] && [ $((x + w)) = $((200 + 1369)) ] && [ $((y + h)) = $((196 + 712)) ] &&
        [ "$y" -gt 196 ] && [ "$y" -lt $((196 + 40)) ] && [ $closed = yes ]
}

# The zip as a Windows user meets it: unpacked anywhere, perforon.exe starts.
# The program carries its manifest and whole version information, and the
# SPDX document names every program file.
check_zip() {
    unzip -q "$repo/$zip" -d unpacked
    cd unpacked/perforon-*-win64
    python3 "$repo/tools/notices.py" check .
    grep -aq 'level="asInvoker"' perforon.exe && grep -aq 'PerMonitorV2' perforon.exe &&
        strings -el perforon.exe | grep -qx 'Perforon developers' &&
        strings -el perforon.exe | grep -q '^Copyright (C) .* Perforon developers$' ||
        { echo "perforon.exe lacks its manifest or version information"; return 1; }
    echo -n "zip in a fresh prefix: "
    starts_and_closes zip-start "$wine" perforon.exe
}

# The zip's program on a Windows set to dark mode, as Wine offers it for
# programs: the window keeps the light face its layout is drawn for.
check_dark_mode() {
    "$wine" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize' \
        /v AppsUseLightTheme /t REG_DWORD /d 0 /f >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize' \
        /v SystemUsesLightTheme /t REG_DWORD /d 0 /f >/dev/null 2>&1
    unzip -q "$repo/$zip" -d unpacked
    echo -n "zip in a prefix in dark mode: "
    starts_and_closes dark-start "$wine" unpacked/perforon-*-win64/perforon.exe || return 1
    # The window's face, below its caption, as its mean lightness (0 to 1).
    local face
    face=$(convert "$repo/$build/dark-start.png" -crop 1300x600+230+260 -colorspace Gray -format '%[fx:mean]' info:)
    echo "the window's face in dark mode has a mean lightness of $face (picture in $build/dark-start.png)"
    awk "BEGIN { exit !($face > 0.7) }"
}

# The installer as users and administrators of Windows meet it, tried in
# full by tests/wineinstall.sh.
check_installer() {
    sh "$repo/tests/wineinstall.sh" "$wine" "$repo/$setup" "$repo/$older_setup" "$repo/$zip"
    echo -n "installed program started from its Start-menu shortcut: "
    starts_and_closes installed-start "$wine" start \
        'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Perforon.lnk'
    sh "$repo/tests/wineinstall.sh" "$wine" "$repo/$setup" uninstall
}

# The installer beside the zip, and an older one to install it over: version
# 0.9, with a file of its own that the newer one does not have.
make_installers() {
    (cd "$build" && cpack -G NSIS >/dev/null)
    setup=$(echo "$build"/perforon-"$version"-win64-setup.exe)
    (cd "$build" && cpack -G NSIS -D CPACK_PACKAGE_VERSION=0.9 \
        -D CPACK_PRE_BUILD_SCRIPTS="$repo/tests/olderinstaller.cmake" >/dev/null)
    older_setup=$(echo "$build"/perforon-0.9-win64-setup.exe)
    echo "== $setup ($(du -k "$setup" | cut -f1) KiB), and $older_setup to install it over"
}

# "tools/windows.sh qt" only builds Qt into the cache, "tools/windows.sh
# build" Qt and Perforon with its suites; "tools/windows.sh configure" goes
# as far as Qt's configuring, as a new machine does, and builds nothing.
set_up_root
qt_key=$(printf '%s\n' "${qt_sources[@]}" "$qt_recipe" "${qt_options[@]}" | md5sum | cut -c1-10)
qt_prefix=$cache/qt-$qt_version-win64-$qt_key
if [ "${1:-}" = configure ]; then
    configure_qt_only
    exit 0
fi
build_qt Windows 25
[ "${1:-}" = qt ] && exit 0
build_perforon
[ "${1:-}" = build ] && exit 0
run_tests
make_zip win64
rm -rf "$build/unpacked"
unzip -q "$zip" -d "$build/unpacked"
check_floors "$build"/unpacked/perforon-*-win64
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
make_installers
in_fresh_prefix check_zip
in_fresh_prefix check_dark_mode
in_fresh_prefix check_installer
