#!/bin/sh
# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package with CPack and checks it: the listing and the
# desktop entry validate, lintian finds no error, and the package installs,
# starts its window on a virtual X server, and purges without a trace.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
tools/setup.sh dpkg-dev file lintian appstream desktop-file-utils xvfb openbox x11-utils xdotool
# Debian's own hardening and build flags, as a package build uses them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build-deb --parallel 2 --target perforon packaging_docs
(cd build-deb && cpack -G DEB >/dev/null)
deb=$(ls build-deb/perforon_*.deb)
echo "== $deb"
dpkg-deb --info "$deb" | sed -n 's/^ \(Depends\|Recommends\):/\1:/p'

echo "== appstreamcli and desktop-file-validate"
appstreamcli validate --no-net packaging/org.perforon.Perforon.metainfo.xml
desktop-file-validate ui/perforon.desktop

echo "== lintian"
# No error and no warning; what lintian only notes (I:) is shown.
lintian --fail-on error --fail-on warning --info "$deb"

echo "== install, start, purge"
files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -n 's|^\./|/|p' | grep -v '/$')
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$root/$deb" >/dev/null
sh tests/displayserver.sh x11 build-deb/display
trap 'sh tests/displayserver.sh stop build-deb/display' EXIT
sh tests/ondisplay.sh build-deb/display sh -c '
    /usr/bin/perforon >/dev/null 2>&1 &
    window=$(timeout 20 xdotool search --sync --onlyvisible --class perforon | head -n 1)
    echo "installed /usr/bin/perforon shows \"$(xdotool getwindowname "$window")\""
    kill $!'
DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq perforon >/dev/null
left=""
for f in $files; do
    [ -e "$f" ] && left="$left $f"
done
[ -z "$left" ] || { echo "left behind after purge:$left"; exit 1; }
echo "purged: none of its $(echo "$files" | wc -l) files is left under /usr"
