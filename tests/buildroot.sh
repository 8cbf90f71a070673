#!/bin/bash
# SPDX-FileCopyrightText: 2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian 13 build root as a new machine meets it, and what holds when a
# command runs in it:
#   - inroot.sh --mounted refuses to run outside the namespaces inroot.sh
#     makes, and leaves the machine's mounts as they were;
#   - the root is not made where Debian's keyring cannot vouch for the
#     archive;
#   - the root takes Debian 13's security updates;
#   - nothing a command starts in the root runs on once the command ends,
#     nor once inroot.sh itself is killed.
# On a machine that has a cache folder already (it has built Perforon
# before), all of this runs in a cache folder that does not exist yet, and
# so does the set-up a new machine goes through for the Windows and browser
# builds, up to configuring Qt: a step, folder or package that a machine
# with a cache has and a new one lacks fails here. On a new machine the
# builds that follow go through all of it anyway, in the real cache.
set -euo pipefail
cd "$(dirname "$0")/.."
cache=${PERFORON_CACHE:-$HOME/.cache/perforon}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ -d "$cache" ]; then
    export PERFORON_CACHE=$work/new-machine/cache
    echo "build root: as on a new machine, in $PERFORON_CACHE"
fi
fail() {
    echo "build root: $*"
    exit 1
}
# Waits up to a minute for a command to succeed.
await() {
    local n=0
    until "$@"; do
        n=$((n + 1))
        [ $n -le 600 ] || return 1
        sleep 0.1
    done
}

echo "== --mounted outside its namespaces"
propagation=$(findmnt -no PROPAGATION /)
outer=$(readlink /proc/self/ns/mnt)
for how in "directly" "first in a PID namespace" "first in a PID namespace, told the machine's mounts are its own"; do
    case $how in
    directly) command=(tools/inroot.sh --mounted true) ;;
    "first in a PID namespace") command=(unshare --pid --fork tools/inroot.sh --mounted true) ;;
    *) command=(env PERFORON_OUTER_MOUNTS="$outer" unshare --pid --fork tools/inroot.sh --mounted true) ;;
    esac
    if "${command[@]}" 2>"$work/refusal"; then
        fail "--mounted ran $how"
    fi
    grep -q 'runs only in the namespaces' "$work/refusal" || fail "--mounted $how: $(cat "$work/refusal")"
    echo "refused $how"
done
[ "$(findmnt -no PROPAGATION /)" = "$propagation" ] || fail "the machine's / is no longer $propagation"

echo "== the root from nothing"
tools/inroot.sh true
tools/inroot.sh sh -c 'apt-get update -qq && apt-cache policy' >"$work/policy"
grep -q 'trixie-security/main' "$work/policy" || fail "the root takes no security updates"
echo "its sources: $(grep -o 'n=trixie[a-z-]*' "$work/policy" | sort -u | cut -c3- | tr '\n' ' ')"

echo "== a keyring that does not vouch for Debian 13"
if PERFORON_KEYRING=/usr/share/keyrings/debian-archive-removed-keys.gpg PERFORON_ROOT=$work/unverified-root \
    tools/inroot.sh true >"$work/unverified" 2>&1; then
    fail "a root was made with Debian's removed keys"
fi
grep -Eq 'NO_PUBKEY|not signed|signatures couldn.t be verified' "$work/unverified" || fail "$(tail -n 5 "$work/unverified")"
[ -e "$work/unverified-root" ] && fail "an unverified root was left behind"
echo "refused: $(grep -Em1 'NO_PUBKEY|not signed|signatures' "$work/unverified")"

echo "== what a command leaves running"
marker() { pgrep -f "^sleep $1\$" >/dev/null; }
gone() { ! marker "$1"; }
tools/inroot.sh sh -c 'sleep 86401 & setsid sh -c "sleep 86402 & :"; exit 0'
marker 86401 || marker 86402 && fail "what the command left running runs on"
tools/inroot.sh sh -c 'sleep 86403 & wait' &
inroot=$!
await marker 86403 || fail "the command did not start"
{ kill -9 "$inroot" && wait "$inroot"; } 2>/dev/null || true
await gone 86403 || fail "with inroot.sh killed, what it ran runs on"
echo "nothing runs on: neither what a command left behind nor what a killed inroot.sh ran"

if [ "${PERFORON_CACHE:-$cache}" != "$cache" ]; then
    echo "== the Windows and browser builds' set-up, as on a new machine"
    tools/windows.sh configure
    tools/web.sh configure
fi
echo "build root: all checks passed"
