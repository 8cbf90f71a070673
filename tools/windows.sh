#!/bin/bash
# Builds Perforon for 64-bit Windows on Debian 12, runs every test suite under
# Wine, and packs build-win64/perforon-<version>-win64.zip.
#
# Qt for Windows is cross-built once from Debian's own qt6-base source and
# kept in ~/.cache/perforon (PERFORON_CACHE), keyed by Qt version and
# configure options; later runs reuse it.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
. tools/qtsource.sh
cache=${PERFORON_CACHE:-$HOME/.cache/perforon}
qt_version=6.4.2

qt_options=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    # Qt 6.4.2 keeps dynamic OpenGL and directwrite3 on when opengl and
    # direct2d go, and then fails to build; they go together.
    -DINPUT_opengl=no
    -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF
    # Debian's source leaves out the Wintab header tablets need.
    -DFEATURE_tabletevent=OFF
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_png=OFF -DFEATURE_system_doubleconversion=OFF
)
qt_key=$(printf '%s\n' "$qt_version" "${qt_options[@]}" | md5sum | cut -c1-10)
qt_prefix=$cache/qt-$qt_version-win64-$qt_key
wine=/usr/lib/wine/wine64
build=build-win64

install_packages() {
    ensure_source_packages
    tools/setup.sh g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
        binutils-mingw-w64-x86-64 wine64 ninja-build dpkg-dev unzip \
        xvfb openbox x11-utils xdotool imagemagick
}

build_qt() {
    [ -f "$qt_prefix/.complete" ] && return 0
    echo "Building Qt $qt_version for Windows into $qt_prefix"
    echo "(once per machine; about 40 minutes on two cores)"
    local work=$cache/work-$qt_key
    rm -rf "$work" "$qt_prefix"
    mkdir -p "$work"
    local src
    src=$(unpack_qt_source "$work")
    cmake -G Ninja -S "$src" -B "$work/build" \
        -DCMAKE_TOOLCHAIN_FILE="$repo/tools/mingw-w64.cmake" \
        -DCMAKE_CROSSCOMPILING_EMULATOR= \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -dumpmachine)/cmake" \
        -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
        "${qt_options[@]}" >"$work/configure.log"
    build_and_install_qt "$work/build"
    touch "$qt_prefix/.complete"
    rm -rf "$work"
}

build_perforon() {
    # The Qt in the cache may have been built from another clone: the
    # toolchain it chains to is this one's.
    "$qt_prefix/bin/qt-cmake" -G Ninja -S . -B "$build" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$repo/tools/mingw-w64.cmake" \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -dumpmachine)/cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" --parallel "$(nproc)"
}

run_tests() {
    ctest --test-dir "$build" --output-on-failure --timeout 300
}

make_zip() {
    rm -f "$build"/perforon-*-win64.zip
    (cd "$build" && cpack -G ZIP >/dev/null)
    zip=$(echo "$build"/perforon-*-win64.zip)
    echo "== $zip"
    unzip -Z1 "$zip" | grep -v '/$'
}

# The zip as a Windows user meets it: unpacked into a fresh Wine prefix with
# no paths set, perforon.exe starts as a window on the described outer
# rectangle (200,196, 1369 x 712), and C at start closes it. Wine keeps the
# Windows borders in its X window and leaves the caption to the window
# manager, so the X window spans the rectangle's left, right and bottom
# edges and starts below its top by the caption's height.
check_zip() {
    local work
    work=$(mktemp -d)
    unzip -q "$zip" -d "$work/unpacked"
    sh tests/displayserver.sh x11 "$work/display"
    trap "sh tests/displayserver.sh stop '$work/display'; rm -rf '$work'" RETURN
    local display
    display=$(sed -n 's/^DISPLAY=//p' "$work/display/env")
    (
        export DISPLAY=$display WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
        unset WINEPATH QT_QPA_PLATFORM QT_PLUGIN_PATH
        "$wine" wineboot --init >/dev/null 2>&1
        cd "$work/unpacked"/perforon-*-win64
        "$wine" perforon.exe >/dev/null 2>&1 &
        local pid=$! window
        window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Perforon$' | head -n 1)
        sleep 2 # the first paint
        local x y w h
        read -r x y w h < <(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$4}
            /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
        import -window root "$repo/$build/zip-start.png"
        xdotool key c
        local closed=no n=0
        while [ $n -lt 100 ]; do
            kill -0 "$pid" 2>/dev/null || { closed=yes; break; }
            sleep 0.1; n=$((n + 1))
        done
        echo "zip in a fresh prefix: X window from $x,$y to $((x + w)),$((y + h)), closed by C: $closed" \
            "(picture in $build/zip-start.png)"
        [ "$x" = 200 ] && [ $((x + w)) = $((200 + 1369)) ] && [ $((y + h)) = $((196 + 712)) ] &&
            [ "$y" -gt 196 ] && [ "$y" -lt $((196 + 40)) ] && [ $closed = yes ]
    )
}

# "tools/windows.sh qt" only builds Qt into the cache.
install_packages
build_qt
[ "${1:-}" = qt ] && exit 0
build_perforon
run_tests
make_zip
check_zip
