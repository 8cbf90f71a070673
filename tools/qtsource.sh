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

# apt for Debian's testing suite, kept apart from the root's own sources so
# that it offers the source packages below and nothing else. The mirror's
# copy of testing may be older than its signed validity (a frozen mirror):
# the signature is still checked, and the floors guard what is taken.
testing_apt=(-o Dir::Etc::SourceList=/etc/apt/perforon-testing/testing.sources
    -o Dir::Etc::SourceParts=/etc/apt/perforon-testing/parts -o Dir::State::Lists=/var/lib/apt/lists-testing)

# The root's packages brought up to Debian's point and security updates, and
# the indexes of the source packages read anew, at every run.
update_root() {
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get upgrade -y -qq >/dev/null
    mkdir -p /etc/apt/perforon-testing/parts /var/lib/apt/lists-testing/partial
    cat >/etc/apt/perforon-testing/testing.sources <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: testing
Components: main
Check-Valid-Until: no
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    apt-get -qq "${testing_apt[@]}" update
}

# Reads Debian versions, one a line, and prints them newest first.
newest_first() {
    local rest=() newest each keep
    mapfile -t rest
    while [ ${#rest[@]} -gt 0 ]; do
        newest=${rest[0]} keep=()
        for each in "${rest[@]}"; do
            if dpkg --compare-versions "$each" gt "$newest"; then newest=$each; fi
        done
        echo "$newest"
        for each in "${rest[@]}"; do
            [ "$each" = "$newest" ] || keep+=("$each")
        done
        rest=("${keep[@]}")
    done
}

# Fetches the newest version of the source package given that the archive
# serves into $cache/sources/PACKAGE=VERSION, checked against the signed
# index (with the further apt options given), and prints PACKAGE=VERSION. A
# mirror's index may still list a version whose files it no longer has: the
# next one down is taken then.
fetch_source() {
    local package=$1 version folder
    for version in $(apt-cache "${@:2}" showsrc --only-source "$package" | sed -n 's/^Version: //p' | newest_first); do
        folder=$cache/sources/$package=$version
        if [ ! -f "$folder/.complete" ]; then
            rm -rf "$folder" && mkdir -p "$folder"
            (cd "$folder" && apt-get "${@:2}" source -qq --download-only "$package=$version" >/dev/null 2>&1) ||
                { rm -rf "$folder"; continue; }
            touch "$folder/.complete"
        fi
        echo "$package=$version"
        return 0
    done
    echo "the archive serves no source package $package" >&2
    return 1
}

# Qt's source carries copies of libraries that Debian patches only in its
# system's copies. Those with a known vulnerability (packaging/floors.txt),
# FreeType, libpng and HarfBuzz, are swapped for the upstream release in
# Debian testing's source package, with Qt's own import scripts; their
# versions, read from their own headers, go into Qt's attribution files,
# whence its SBOM takes them. What each folder of Qt's source is swapped for:
bundled_folders=(freetype=freetype libpng1.6=libpng harfbuzz=harfbuzz-ng)

# Each source package a build of Qt takes, at the newest version the archive
# serves now, as PACKAGE=VERSION, fetched into $cache/sources: qt6-base from
# Debian 13 with its point and security updates, the libraries from testing.
# The cache keys name them, so that a new version builds Qt again.
resolve_sources() {
    local each fetched
    fetched=$(fetch_source qt6-base)
    qt_sources=("$fetched")
    for each in "${bundled_folders[@]}"; do
        fetched=$(fetch_source "${each%%=*}" "${testing_apt[@]}")
        qt_sources+=("$fetched")
    done
    qt_version=${qt_sources[0]#*=}
    qt_version=${qt_version%%+*}
    echo "Qt's sources: ${qt_sources[*]}"
}

# The root brought up to date, the packages of the script that sources this
# (install_packages) installed, and the sources resolved: one script at a
# time, since the Windows and browser builds may set up beside each other.
# Then the steps that make Qt from them, for the keys of the cache: how the
# sources are put together is part of what Qt is made from too.
set_up_root() {
    exec 9>/var/lib/apt/perforon-set-up.lock
    flock 9
    update_root
    install_packages
    resolve_sources
    exec 9>&-
    qt_recipe=$({
        declare -f unpack_qt_source update_bundled_copies header_version set_attribution_version \
            configure_qt_source configure_qt build_and_install_qt collect_qt_notices
        printf '%s\n' "${qt_shipped[@]}"
    } | md5sum)
}

# Sets the version an attribution file gives, and in its download address.
set_attribution_version() {
    python3 - "$1" "$2" <<'PY'
import json, sys
path, version = sys.argv[1:]
data = json.load(open(path, encoding='utf-8'))
for entry in data if isinstance(data, list) else [data]:
    if entry.get('Version'):
        entry['DownloadLocation'] = entry.get('DownloadLocation', '').replace(entry['Version'], version)
        entry['Version'] = version
json.dump(data, open(path, 'w', encoding='utf-8'), indent=4)
PY
}

# The version a header of the source tree given defines.
header_version() {
    case $2 in
    freetype) awk '/^#define FREETYPE_(MAJOR|MINOR|PATCH) / { v = v (v == "" ? "" : ".") $3 } END { print v }' \
        "$1/include/freetype/freetype.h" ;;
    libpng) sed -n 's/^#define PNG_LIBPNG_VER_STRING "\(.*\)"$/\1/p' "$1/png.h" ;;
    harfbuzz-ng) sed -n 's/^#define HB_VERSION_STRING "\(.*\)"$/\1/p' "$1/src/hb-version.h" ;;
    esac
}

# Swaps the copies in the Qt source tree given for the releases resolved,
# unpacked in a folder of the work folder given.
update_bundled_copies() {
    local qt=$1 work=$2/bundled third=$1/src/3rdparty
    mkdir -p "$work"
    # The import scripts copy into folders made anew, as Qt's maintainers
    # run them: into a folder that is still there, cp -R would copy the
    # new release into a folder within it and leave the old one in place.
    tar -xf "$cache/sources/${qt_sources[1]}"/freetype_*.orig.tar.* -C "$work"
    rm -rf "$third/freetype/include" "$third/freetype/src"
    sh "$third/freetype/import_from_tarball.sh" "$(echo "$work"/freetype-*/)" "$third/freetype/"
    patch -s -d "$qt" -p1 <"$third/freetype/patches/0001-Fix-compilation-with-Qt.patch"
    tar -xf "$cache/sources/${qt_sources[2]}"/libpng1.6_*.orig.tar.* -C "$work"
    sh "$third/libpng/import_from_libpng_tarball.sh" "$(echo "$work"/libpng-*/)" "$third/libpng/" >/dev/null
    # HarfBuzz's script takes its whole src/; Qt's list of what to compile
    # gets the sources the newer release added, as HarfBuzz's own
    # single-file builds (harfbuzz.cc, harfbuzz-subset.cc) name them.
    local hb=$third/harfbuzz-ng carried added
    tar -xf "$cache/sources/${qt_sources[3]}"/harfbuzz_*.orig.tar.* -C "$work"
    carried=$(cd "$hb" && find src -name '*.cc' | sort)
    rm -rf "$hb/src"
    bash "$hb/import_from_tarball.sh" "$(echo "$work"/harfbuzz-*/)" "$hb/"
    added=$(sed -n 's|^#include "\(.*\.cc\)"$|src/\1|p' "$hb/src/harfbuzz.cc" "$hb/src/harfbuzz-subset.cc" |
        sort -u | comm -13 <(echo "$carried") -)
    [ -z "$added" ] || printf '\ntarget_sources(BundledHarfbuzz PRIVATE %s)\n' "$(echo $added)" >>"$hb/CMakeLists.txt"
    local each folder
    for each in "${bundled_folders[@]}"; do
        folder=${each#*=}
        set_attribution_version "$third/$folder/qt_attribution.json" "$(header_version "$third/$folder" "$folder")"
    done
}

# Unpacks the resolved qt6-base source, Debian's patches applied, into the
# folder given, with its bundled copies swapped, and sets src to the tree.
unpack_qt_source() {
    src=$1/qt6-base
    dpkg-source -q -x "$(echo "$cache/sources/${qt_sources[0]}"/*.dsc)" "$src" >/dev/null 2>&1 ||
        { echo "dpkg-source could not unpack ${qt_sources[0]}" >&2; return 1; }
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
# their compile commands in the configured build folder given, the source
# packages it was made from with their versions, and Qt's own SBOM.
collect_qt_notices() {
    local src=$1 qt_build=$2 made_from=("${qt_sources[0]}") index
    for index in "${!bundled_folders[@]}"; do
        made_from+=("${qt_sources[index + 1]}=src/3rdparty/${bundled_folders[index]#*=}")
    done
    ninja -C "$qt_build" -t commands "${qt_shipped[@]}" >"$qt_build/commands.txt"
    python3 tools/notices.py qt "$src" "$qt_build/commands.txt" "$qt_prefix/notices" "${made_from[@]}"
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

# What a new machine does before it compiles Qt, in a work folder that goes
# again: the source fetched, its copies swapped, and configured.
configure_qt_only() {
    local work=$cache/work-configure-$qt_key src
    configure_qt_source "$work"
    echo "Qt's source unpacked and configured for ${qt_prefix##*/}"
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
