#!/bin/bash
# SPDX-FileCopyrightText: 2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command inside the Debian 13 build root, where the Windows and
# browser builds take their compilers, Qt's source, Wine and the browsers:
#     tools/inroot.sh COMMAND [ARGUMENT...]
# The root is made once with mmdebstrap, every index checked against
# Debian's keyring, and kept in the cache (PERFORON_CACHE, else
# ~/.cache/perforon), keyed by its suites and the packages it starts with;
# each script installs its own packages into it.
# The command runs in mount and PID namespaces of their own, with this
# clone and the cache at the same paths as outside: nothing stays mounted
# on the machine and nothing it started runs on when it ends, however it
# ends. Needs root, or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
self=$repo/tools/inroot.sh
cache=${PERFORON_CACHE:-$HOME/.cache/perforon}
suite=trixie
keyring=${PERFORON_KEYRING:-/usr/share/keyrings/debian-archive-keyring.gpg}
# Debian 13 with its point and security updates, binary and source packages.
sources="Types: deb deb-src
URIs: http://deb.debian.org/debian
Suites: $suite $suite-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb deb-src
URIs: http://deb.debian.org/debian-security
Suites: $suite-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg"
# What both builds need: a host compiler, CMake and the host's Qt, whose
# tools a cross-built Qt of the same version uses, and Qt's source.
base_packages=(debian-archive-keyring g++ make cmake ninja-build python3 dpkg-dev xz-utils unzip
    qt6-base-dev fonts-liberation)
# Packages install without their recommendations, and without dpkg's
# syncing of every file: the root is a cache, made again where it breaks.
root_options=(--variant=minbase --aptopt='APT::Install-Recommends "false"' --dpkgopt=force-unsafe-io)
key=$(printf '%s\n' "$sources" "${base_packages[@]}" "${root_options[@]}" | md5sum | cut -c1-10)
root=${PERFORON_ROOT:-$cache/debian-$suite-$key}

if [ "$(id -u)" -ne 0 ]; then
    exec sudo PERFORON_CACHE="$cache" PERFORON_KEYRING="$keyring" ${PERFORON_ROOT:+PERFORON_ROOT="$PERFORON_ROOT"} "$self" "$@"
fi

# Inside the namespaces: the mounts the builds and tests need, then the
# command, chrooted. This shell is the first process of its PID namespace,
# so whatever the command leaves running ends with it. Anywhere else it
# would make the machine's own mounts private, so it refuses.
if [ "${1:-}" = --mounted ]; then
    shift
    if [ $$ -ne 1 ] || [ -z "${PERFORON_OUTER_MOUNTS:-}" ] ||
        [ "$(readlink /proc/self/ns/mnt)" = "$PERFORON_OUTER_MOUNTS" ]; then
        echo "tools/inroot.sh: --mounted runs only in the namespaces tools/inroot.sh makes" >&2
        exit 2
    fi
    mount --make-rprivate /
    mount -t proc proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount --rbind /dev "$root/dev"
    mount -t tmpfs tmpfs "$root/tmp"
    for dir in "$repo" "$cache"; do
        mkdir -p "$root$dir"
        mount --bind "$dir" "$root$dir"
    done
    # The machine's name servers and the certificates it trusts (a network
    # may put its own authority in front of the npm registry).
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    cp /etc/ssl/certs/ca-certificates.crt "$root/etc/machine-ca-certificates.crt"
    status=0
    chroot "$root" /usr/bin/env PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin \
        HOME=/root PERFORON_CACHE="$cache" PERFORON_IN_ROOT=1 \
        NODE_EXTRA_CA_CERTS=/etc/machine-ca-certificates.crt npm_config_cafile=/etc/machine-ca-certificates.crt \
        sh -c 'cd "$1" && shift && exec "$@"' sh "$repo" "$@" || status=$?
    exit $status
fi

make_root() {
    echo "Making the Debian 13 build root in $root (once per machine; about a minute)"
    command -v mmdebstrap >/dev/null || tools/setup.sh mmdebstrap debian-archive-keyring
    [ -f "$keyring" ] || { echo "tools/inroot.sh: no keyring $keyring to check Debian's archive against" >&2; exit 1; }
    mkdir -p "$(dirname "$root")"
    rm -rf "$root.new"
    # apt takes nothing the keyring given does not vouch for, and mmdebstrap
    # stops where apt cannot check an index; in the root, apt checks against
    # the root's own copy of Debian's keyring. The options hold then and
    # later.
    if ! printf '%s\n' "$sources" | sed "s|^Signed-By: .*|Signed-By: $keyring|" |
        mmdebstrap --mode=root "${root_options[@]}" --keyring="$keyring" \
        --include="$(IFS=,; echo "${base_packages[*]}")" "$suite" "$root.new" - >"$root.log" 2>&1; then
        tail -n 20 "$root.log"
        rm -rf "$root.new"
        exit 1
    fi
    rm -f "$root.new/etc/apt/sources.list" "$root.new"/etc/apt/sources.list.d/*
    printf '%s\n' "$sources" >"$root.new/etc/apt/sources.list.d/debian.sources"
    mv "$root.new" "$root"
}

[ -d "$root" ] || make_root
# This script again, with --mounted, in new mount and PID namespaces;
# --kill-child ends them even where this process is killed.
PERFORON_OUTER_MOUNTS=$(readlink /proc/self/ns/mnt) exec unshare --mount --pid --kill-child "$self" --mounted "$@"
