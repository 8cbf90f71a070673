# Shared by tools/windows.sh and tools/web.sh, which build Qt from Debian's
# own qt6-base source for another platform. Sourced, not run.

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
