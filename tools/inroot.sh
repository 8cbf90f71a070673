#!/bin/bash
# SPDX-FileCopyrightText: 2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command inside the Debian 13 build root, where the Windows and
# browser builds take their compilers, Qt's source, Wine and the browsers:
#     tools/inroot.sh COMMAND [ARGUMENT...]
# The root is made once with debootstrap and kept in the cache
# (PERFORON_CACHE, else ~/.cache/perforon), keyed by its suite and the
# packages it starts with; each script installs its own packages into it.
# The command runs in a mount namespace of its own, with this clone and the
# cache at the same paths as outside, so that nothing stays mounted on the
# machine when it ends, however it ends. Needs root, or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
self=$repo/tools/inroot.sh
cache=${PERFORON_CACHE:-$HOME/.cache/perforon}
suite=trixie
mirror=http://deb.debian.org/debian
# What both builds need: a host compiler, CMake and the host's Qt, whose
# tools a cross-built Qt of the same version uses, and Qt's source.
base_packages=(g++ make cmake ninja-build python3 dpkg-dev xz-utils unzip qt6-base-dev fonts-liberation)
key=$(printf '%s\n' "$suite" "${base_packages[@]}" | md5sum | cut -c1-10)
root=${PERFORON_ROOT:-$cache/debian-$suite-$key}

if [ "$(id -u)" -ne 0 ]; then
    exec sudo PERFORON_CACHE="$cache" "$self" "$@"
fi

# Inside the namespace: the mounts the builds and tests need, then the
# command, chrooted; what it leaves running goes with it.
if [ "${1:-}" = --mounted ]; then
    shift
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
    # What the command left running in this namespace goes too; other
    # commands in the root, in namespaces of their own, run on.
    namespace=$(readlink /proc/self/ns/mnt)
    for proc in /proc/[0-9]*; do
        [ "${proc#/proc/}" != $$ ] && [ "$(readlink "$proc/ns/mnt" 2>/dev/null)" = "$namespace" ] &&
            kill -9 "${proc#/proc/}" 2>/dev/null
    done
    exit $status
fi

make_root() {
    echo "Making the Debian 13 build root in $root (once per machine; about 2 minutes)"
    command -v debootstrap >/dev/null || tools/setup.sh debootstrap
    rm -rf "$root.new"
    debootstrap --variant=minbase "$suite" "$root.new" "$mirror" >"$root.log" 2>&1 ||
        { tail -n 20 "$root.log"; exit 1; }
    rm -f "$root.new/etc/apt/sources.list"
    cat >"$root.new/etc/apt/sources.list.d/debian.sources" <<SOURCES
Types: deb deb-src
URIs: $mirror
Suites: $suite $suite-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    # Packages install without asking and without their recommendations.
    printf 'APT::Install-Recommends "false";\n' >"$root.new/etc/apt/apt.conf.d/90perforon"
    PERFORON_ROOT=$root.new unshare --mount "$self" --mounted sh -c \
        "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ${base_packages[*]} >/dev/null"
    mv "$root.new" "$root"
}

[ -d "$root" ] || make_root
exec unshare --mount "$self" --mounted "$@"
