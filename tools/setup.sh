#!/bin/sh
# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the build and the tests need, where missing.
set -eu
packages="g++ make cmake qt6-base-dev fonts-liberation $*"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
    sudo=""
elif command -v sudo >/dev/null 2>&1; then
    sudo="sudo"
else
    echo "Missing packages:$missing" >&2
    echo "There is no sudo here to install them. As root, run:" >&2
    echo "    apt-get update && apt-get install --no-install-recommends$missing" >&2
    exit 1
fi
echo "Installing:$missing"
# One set-up at a time: CI makes the build root beside the host's tests.
$sudo flock /var/lock/perforon-setup.lock sh -c "apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing"
