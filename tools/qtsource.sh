# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by tools/windows.sh and tools/web.sh, which build Qt from Debian's
# own qt6-base source for another platform and keep it in the cache
# (PERFORON_CACHE, else ~/.cache/perforon). Sourced, not run.

cache=${PERFORON_CACHE:-$HOME/.cache/perforon}
qt_version=6.4.2

# What either build of Qt leaves out, and the libraries it brings along
# rather than finding them on the target.
qt_modules_off=(
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
)
qt_libraries_bundled=(
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_png=OFF -DFEATURE_system_doubleconversion=OFF
)

sudo_cmd() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# apt-get source needs Debian's source packages among apt's sources.
ensure_source_packages() {
    if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ &&
        ! grep -qs '^deb-src' /etc/apt/sources.list; then
        echo "Adding Debian's source packages to apt's sources"
        sudo_cmd tee /etc/apt/sources.list.d/perforon-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
        sudo_cmd apt-get update -qq
    fi
}

# Unpacks Debian's qt6-base source into the folder given and prints the
# path of the source tree.
unpack_qt_source() {
    (cd "$1" && apt-get source -qq qt6-base >/dev/null)
    echo "$1"/qt6-base-*/
}

# Builds and installs a configured Qt build folder, with Ninja's progress
# line once per hundred steps, so that a log shows it moving.
build_and_install_qt() {
    NINJA_STATUS='[%f/%t] ' ninja -C "$1" -j "$(nproc)" |
        awk '/^\[[0-9]+\/[0-9]+\]/ { split($1, n, /[\[\/\]]/); if (n[2] % 100 == 0 || n[2] == n[3]) { print $1; fflush() } next } { print; fflush() }'
    cmake --install "$1" >/dev/null
}

# The notices of a Qt build, kept beside it in $qt_prefix/notices: the
# licence files and copyright lines of every part of Qt's source that goes
# into the modules a package ships (qt_shipped, each script's), found from
# their compile commands in the configured build folder given.
collect_qt_notices() {
    local src=$1 qt_build=$2
    ninja -C "$qt_build" -t commands "${qt_shipped[@]}" >"$qt_build/commands.txt"
    python3 tools/notices.py qt "$src" "$qt_build/commands.txt" "$qt_prefix/notices"
}

# Unpacks Qt's source into the fresh work folder given, sets src to it, and
# configures it in the folder's build/ (configure_qt is each script's).
configure_qt_source() {
    rm -rf "$1"
    mkdir -p "$1"
    src=$(unpack_qt_source "$1")
    configure_qt "$src" "$1/build"
}

# Builds Qt from Debian's source into $qt_prefix once, for the platform
# named, which takes about the minutes given on two cores, with the notices
# of what it ships (configure_qt and qt_shipped are each script's).
build_qt() {
    [ -f "$qt_prefix/.complete" ] && return 0
    echo "Building Qt $qt_version for $1 into $qt_prefix"
    echo "(once per machine; about $2 minutes on two cores)"
    local work src
    work=$cache/work-$(basename "$qt_prefix")
    rm -rf "$qt_prefix"
    configure_qt_source "$work"
    build_and_install_qt "$work/build"
    collect_qt_notices "$src" "$work/build"
    touch "$qt_prefix/.complete"
    rm -rf "$work"
}

# The notices for a Qt in the cache that has none yet: its source unpacked and
# configured again (configure_qt, each script's), not built.
ensure_qt_notices() {
    [ -f "$qt_prefix/notices/attributions.json" ] && return 0
    local work=$cache/work-notices-$qt_key src
    configure_qt_source "$work"
    collect_qt_notices "$src" "$work/build"
    rm -rf "$work"
}

# Configures and builds Perforon into $build against the Qt in $qt_prefix,
# with the further CMake arguments given.
build_against_qt() {
    "$qt_prefix/bin/qt-cmake" -G Ninja -S . -B "$build" \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -dumpmachine)/cmake" \
        -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$build" --parallel "$(nproc)"
}

run_tests() {
    ctest --test-dir "$build" --output-on-failure --timeout 300
}

# Packs $build/perforon-<version>-SUFFIX.zip with CPack, lists it and sets
# zip to its path.
make_zip() {
    rm -f "$build"/perforon-*-"$1".zip
    (cd "$build" && cpack -G ZIP >/dev/null)
    zip=$(echo "$build"/perforon-*-"$1".zip)
    echo "== $zip"
    unzip -Z1 "$zip" | grep -v '/$'
}
