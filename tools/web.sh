#!/bin/bash
# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Perforon for the browser (WebAssembly) in the Debian 13 build root,
# runs every test suite in Debian's Chromium and Firefox ESR, and packs
# build-wasm/perforon-<version>-web.zip.
#
# Qt for WebAssembly is built once from Debian 13's own qt6-base source with
# its emscripten and kept in ~/.cache/perforon (PERFORON_CACHE), keyed by Qt
# version, emscripten version and configure options; later runs reuse it.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
. tools/qtsource.sh

qt_options=(
    -DCMAKE_BUILD_TYPE=Release
    -DQT_QMAKE_TARGET_MKSPEC=wasm-emscripten
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    # Modal boxes run an event loop of their own: asyncify lets one wait
    # inside the browser's; one thread, as the program has.
    -DQT_QMAKE_DEVICE_OPTIONS=QT_EMSCRIPTEN_ASYNCIFY=1
    -DFEATURE_thread=OFF
    # The platform plugin is built with OpenGL (WebGL), which it needs.
    -DINPUT_opengl=es2
    "${qt_modules_off[@]}"
    "${qt_features_off[@]}"
    "${qt_libraries_bundled[@]}"
)
build=build-wasm

install_packages() {
    tools/setup.sh emscripten node-acorn nodejs npm chromium firefox-esr
}

# Emscripten's own SDK layout, as Qt's build looks for it: an EMSDK folder
# whose .emscripten names the compiler folder, here a folder of links to
# Debian's emscripten with its emcc and em++, one folder for each version.
prepare_emsdk() {
    export EMSDK=$cache/emsdk-debian-$emscripten_version
    local root=$EMSDK/upstream/emscripten
    if [ ! -e "$root/emcc" ]; then
        mkdir -p "$root"
        for entry in /usr/share/emscripten/* /usr/share/emscripten/.emscripten; do
            ln -sfn "$entry" "$root/$(basename "$entry")"
        done
        ln -sfn /usr/bin/emcc "$root/emcc"
        ln -sfn /usr/bin/em++ "$root/em++"
        echo "EMSCRIPTEN_ROOT = emsdk_path + '/upstream/emscripten'" >"$EMSDK/.emscripten"
    fi
    # Emscripten's JavaScript optimiser takes acorn from Debian's node
    # modules, whichever node runs it.
    export NODE_PATH=/usr/share/nodejs
}

# The modules and the platform plugin linked into the program, whose
# notices the zip carries.
qt_shipped=(Core Gui Widgets QWasmIntegrationPlugin)

configure_qt() {
    cmake -G Ninja -S "$1" -B "$2" \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -dumpmachine)/cmake" \
        -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
        "${qt_options[@]}" >"$2.configure.log"
}

# puppeteer-core, which drives Debian's Chromium and Firefox ESR, from the
# npm registry as web/package-lock.json has it, each package checked against
# its hash there (npm ci); kept in the cache beside Qt, keyed by the lock. It
# downloads no browser: no package's install scripts run, and npm runs as
# nobody, in a folder of the root's own /tmp, which is all it can write.
puppeteer_dir=$cache/npm-$(cat web/package.json web/package-lock.json | md5sum | cut -c1-10)
puppeteer=$puppeteer_dir/node_modules/puppeteer-core/lib/esm/puppeteer/puppeteer-core.js
install_puppeteer() {
    [ -f "$puppeteer" ] && return 0
    local work
    work=$(mktemp -d)
    cp web/package.json web/package-lock.json "$work/"
    chown -R nobody:nogroup "$work"
    (cd "$work" && setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env HOME="$work" npm_config_cache="$work/.npm" npm ci --ignore-scripts --no-audit --no-fund >/dev/null)
    rm -rf "$work/.npm"
    chown -R root:root "$work"
    rm -rf "$puppeteer_dir"
    mv "$work" "$puppeteer_dir"
}

build_perforon() {
    build_against_qt -DPERFORON_PUPPETEER="$puppeteer"
}

# The zip, unpacked beside it for the checks, and its download size; the
# SPDX document names every program file.
make_web_zip() {
    make_zip web
    rm -rf "$build/unpacked"
    unzip -q "$zip" -d "$build/unpacked"
    python3 tools/notices.py check "$(echo "$build"/unpacked/perforon-*-web)"
    check_floors "$(echo "$build"/unpacked/perforon-*-web)"
    local gzipped=0 file
    for file in "$build"/unpacked/perforon-*-web/*; do
        [ -f "$file" ] && gzipped=$((gzipped + $(gzip -9 -c "$file" | wc -c)))
    done
    echo "download size, gzipped: $gzipped bytes ($(awk "BEGIN { printf \"%.1f\", $gzipped / 1048576 }") MiB)"
}

# The page from the zip as a visitor meets it, served by a static server, in
# Chromium and in Firefox: it loads, shows the window, a click on
# Zeichentest brings up its box and Enter dismisses it, and so on; and as a
# screen reader reads it. The pictures of the box and the tree go to
# build-wasm/.
check_page() {
    local folder browser
    folder=$(echo "$build"/unpacked/perforon-*-web)
    for browser in chromium firefox; do
        PERFORON_PUPPETEER=$puppeteer PERFORON_BROWSER=$browser node web/checkpage.mjs "$folder" "$build"
        PERFORON_PUPPETEER=$puppeteer PERFORON_BROWSER=$browser node web/checkreader.mjs "$folder" "$build"
    done
}

# The page's start beside a bare Qt window built the same way, from the
# zip's folder; not a test.
bench_page() {
    cmake --build "$build" --target barewindow
    local folder
    folder=$(echo "$build"/unpacked/perforon-*-web)
    cp "$build"/barewindow.js "$build"/barewindow.wasm "$build"/barewindow.data "$folder"/
    local browser
    for browser in chromium firefox; do
        PERFORON_PUPPETEER=$puppeteer PERFORON_BROWSER=$browser node web/benchpage.mjs "$folder" 9
    done
    rm "$folder"/barewindow.*
}

# "tools/web.sh qt" only builds Qt into the cache, "tools/web.sh build" Qt
# and Perforon with its suites; "tools/web.sh bench" builds the page and
# measures its start instead of testing it; "tools/web.sh configure" goes
# as far as Qt's configuring, as a new machine does, and builds nothing.
set_up_root
# Keyed by emscripten's version too, read once it is installed.
emscripten_version=$(cat /usr/share/emscripten/emscripten-version.txt)
qt_key=$(printf '%s\n' "${qt_sources[@]}" "$qt_recipe" "$emscripten_version" "${qt_options[@]}" | md5sum | cut -c1-10)
qt_prefix=$cache/qt-$qt_version-wasm-$qt_key
prepare_emsdk
if [ "${1:-}" = configure ]; then
    configure_qt_only
    install_puppeteer
    exit 0
fi
build_qt WebAssembly 10
[ "${1:-}" = qt ] && exit 0
install_puppeteer
build_perforon
[ "${1:-}" = build ] && exit 0
if [ "${1:-}" = bench ]; then
    make_web_zip
    bench_page
    exit 0
fi
run_tests
make_web_zip
check_page
