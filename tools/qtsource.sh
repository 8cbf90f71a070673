# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by tools/windows.sh and tools/web.sh, which build Qt from Debian 13's
# own qt6-base source for another platform, inside the Debian 13 build root
# (tools/inroot.sh), and keep it in the cache (PERFORON_CACHE, else
# ~/.cache/perforon). Sourced, not run.

# Each script runs itself again inside the build root.
if [ -z "${PERFORON_IN_ROOT:-}" ]; then
    exec tools/inroot.sh "$PWD/tools/$(basename "$0")" "$@"
fi

cache=${PERFORON_CACHE:-$HOME/.cache/perforon}
qt_version=6.8.2

# What either build of Qt leaves out, and the libraries it brings along
# rather than finding them on the target. Files compile in batches (unity
# build), and Qt writes an SPDX document of its parts and their versions.
qt_modules_off=(
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DFEATURE_vulkan=OFF
    -DFEATURE_imageformatplugin=OFF -DFEATURE_ico=OFF -DFEATURE_sessionmanager=OFF
    -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF
    -DQT_UNITY_BUILD=ON -DQT_GENERATE_SBOM=ON
)
# The features of Core, Gui and Widgets that neither the program nor its
# suites use: left out, they take no time to compile and no room in the
# page's download. Those the program needs are named on, so that
# configuring stops if one of these takes one away. Both builds are
# optimised for size: quicker to compile and to download, and the program
# waits on its operator, not on Qt's speed.
qt_features_off=(
    -DFEATURE_optimize_size=ON
    -DFEATURE_mimetype=OFF -DFEATURE_jalalicalendar=OFF -DFEATURE_hijricalendar=OFF
    -DFEATURE_pdf=OFF -DFEATURE_textodfwriter=OFF -DFEATURE_movie=OFF
    -DFEATURE_systemtrayicon=OFF -DFEATURE_undocommand=OFF -DFEATURE_filesystemmodel=OFF
    -DFEATURE_cssparser=OFF -DFEATURE_gestures=OFF -DFEATURE_scroller=OFF
    -DFEATURE_graphicsview=OFF -DFEATURE_mainwindow=OFF -DFEATURE_mdiarea=OFF
    -DFEATURE_tabbar=OFF -DFEATURE_treeview=OFF -DFEATURE_tableview=OFF -DFEATURE_columnview=OFF
    -DFEATURE_calendarwidget=OFF
    -DFEATURE_colordialog=OFF -DFEATURE_fontdialog=OFF -DFEATURE_inputdialog=OFF
    -DFEATURE_progressdialog=OFF -DFEATURE_errormessage=OFF -DFEATURE_wizard=OFF
    -DFEATURE_dial=OFF -DFEATURE_lcdnumber=OFF -DFEATURE_splashscreen=OFF
    -DFEATURE_keysequenceedit=OFF -DFEATURE_textbrowser=OFF -DFEATURE_syntaxhighlighter=OFF
    -DFEATURE_commandlinkbutton=OFF -DFEATURE_toolbox=OFF -DFEATURE_datawidgetmapper=OFF
    -DFEATURE_accessibility=ON -DFEATURE_clipboard=ON -DFEATURE_messagebox=ON
    -DFEATURE_textedit=ON -DFEATURE_groupbox=ON -DFEATURE_label=ON -DFEATURE_pushbutton=ON
    -DFEATURE_scrollbar=ON -DFEATURE_shortcut=ON -DFEATURE_texthtmlparser=ON
    -DFEATURE_imageformat_png=ON
)
qt_libraries_bundled=(
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_png=OFF -DFEATURE_system_doubleconversion=OFF
)

# Qt's source carries copies of libraries that Debian patches only in its
# system's copies. Those with a known vulnerability (packaging/floors.txt)
# are brought past it from Debian's archive: FreeType and libpng replaced by
# newer upstream releases with Qt's own import scripts, HarfBuzz patched as
# Debian patches its own 10.2.0. The versions go into Qt's attribution files,
# whence its SBOM takes them.
bundled_freetype=freetype=2.14.3+dfsg-1
bundled_libpng=libpng1.6=1.6.58-1
bundled_harfbuzz=harfbuzz=10.2.0-1+deb13u1
# What a build of Qt is made from, for the keys of the cache.
qt_source="qt6-base $qt_version $bundled_freetype $bundled_libpng $bundled_harfbuzz"

# Newer releases come from Debian's next release's source packages.
ensure_next_sources() {
    local list=/etc/apt/sources.list.d/perforon-forky-src.sources
    [ -f "$list" ] && return 0
    cat >"$list" <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: forky
Components: main
Check-Valid-Until: no
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    apt-get update -qq
}

# Sets the version an attribution file gives.
set_attribution_version() {
    python3 - "$1" "$2" <<'PY'
import json, sys
path, version = sys.argv[1:]
data = json.load(open(path, encoding='utf-8'))
for entry in data if isinstance(data, list) else [data]:
    if entry.get('Version'):
        entry['Version'] = version
json.dump(data, open(path, 'w', encoding='utf-8'), indent=4)
PY
}

# Brings the copies in the Qt source tree given up to date, in a folder of
# the work folder given.
update_bundled_copies() {
    local qt=$1 work=$2/bundled third=$1/src/3rdparty
    ensure_next_sources
    mkdir -p "$work"
    (cd "$work" && for package in "$bundled_freetype" "$bundled_libpng" "$bundled_harfbuzz"; do
        apt-get source -qq --download-only "$package" >/dev/null 2>&1 ||
            { echo "apt-get source $package failed" >&2; exit 1; }
    done)
    tar -xf "$work"/freetype_*.orig.tar.* -C "$work"
    sh "$third/freetype/import_from_tarball.sh" "$(echo "$work"/freetype-*/)" "$third/freetype/"
    patch -s -d "$qt" -p1 <"$third/freetype/patches/0001-Fix-compilation-with-Qt.patch"
    set_attribution_version "$third/freetype/qt_attribution.json" "$(basename "$work"/freetype-*/ | cut -d- -f2)"
    tar -xf "$work"/libpng1.6_*.orig.tar.* -C "$work"
    sh "$third/libpng/import_from_libpng_tarball.sh" "$(echo "$work"/libpng-*/)" "$third/libpng/" >/dev/null
    set_attribution_version "$third/libpng/qt_attribution.json" "$(basename "$work"/libpng-*/ | cut -d- -f2)"
    tar -xf "$work"/harfbuzz_*.debian.tar.* -C "$work"
    local each
    while read -r each; do
        patch -s -d "$third/harfbuzz-ng" -p1 <"$work/debian/patches/$each"
    done < <(grep -v '^#' "$work/debian/patches/series")
    set_attribution_version "$third/harfbuzz-ng/qt_attribution.json" "${bundled_harfbuzz#*=}"
}

# Unpacks Debian 13's qt6-base source into the folder given, with its
# bundled copies brought up to date, and sets src to the source tree.
unpack_qt_source() {
    (cd "$1" && apt-get source -qq qt6-base/trixie >/dev/null)
    src=$(echo "$1"/qt6-base-*/)
    update_bundled_copies "$src" "$1"
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
# their compile commands in the configured build folder given, and Qt's own
# SBOM.
collect_qt_notices() {
    local src=$1 qt_build=$2
    ninja -C "$qt_build" -t commands "${qt_shipped[@]}" >"$qt_build/commands.txt"
    python3 tools/notices.py qt "$src" "$qt_build/commands.txt" "$qt_prefix/notices"
    cp "$qt_prefix"/sbom/*.spdx "$qt_prefix/notices/"
}

# Unpacks Qt's source into the fresh work folder given, sets src to it, and
# configures it in the folder's build/ (configure_qt is each script's).
configure_qt_source() {
    rm -rf "$1"
    mkdir -p "$1"
    unpack_qt_source "$1"
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
# with the further CMake arguments given. Debian's Qt source leaves Qt's
# plugins for a program to find itself; these builds take them from Qt.
build_against_qt() {
    # A build folder made against another Qt keeps that Qt in its cache.
    [ -f "$build/CMakeCache.txt" ] && ! grep -q "^Qt6_DIR:.*=$qt_prefix/" "$build/CMakeCache.txt" &&
        rm -rf "$build"
    "$qt_prefix/bin/qt-cmake" -G Ninja -S . -B "$build" -DQT_SKIP_AUTO_PLUGIN_INCLUSION=OFF \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -dumpmachine)/cmake" \
        -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$build" --parallel "$(nproc)"
}

# The parts the package folders given ship, against their floors.
check_floors() {
    python3 tools/floors.py packaging/floors.txt "$@"
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
