#!/bin/sh
# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows installer under Wine, as administrators deploy it and users
# remove it, in the current folder's fresh Wine prefix (WINEPREFIX, DISPLAY
# set):
#   wineinstall.sh WINE SETUP OLDER_SETUP ZIP   installs OLDER_SETUP, then
#       SETUP over it, then SETUP once more, silently, and checks the files,
#       the shortcut and the Apps & features entry after each
#   wineinstall.sh WINE SETUP uninstall         removes it again silently,
#       as its entry says to, and checks that nothing of it is left
set -eu
wine=$1
setup=$2
c=$WINEPREFIX/drive_c
folder="$c/Program Files/Perforon"
shortcut="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Perforon.lnk"
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Perforon'

fail() {
    echo "installer: $*" >&2
    exit 1
}

# A value of the entry, as reg prints it (REG_DWORD in hexadecimal).
value() {
    "$wine" reg query "$entry" /v "$1" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}

# How many entries of Apps & features name Perforon.
entries() {
    "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null | tr -d '\r' |
        grep -aci 'perforon' || true
}

# What the prefix holds where an installer puts things: files and folders
# under Program Files and ProgramData, and the machine's software keys. Wine
# records the machine's network adapters under NetworkCards whenever a
# program first asks for them: those keys are Wine's, and left out.
snapshot() {
    find "$c/Program Files" "$c/ProgramData" | sort >"$1.files"
    "$wine" reg export 'HKLM\Software' "$1.reg" /y >/dev/null 2>&1
    iconv -f UTF-16 -t UTF-8 "$1.reg" | tr -d '\r' | awk '/^\[/ { wine = /\\NetworkCards(\\|\])/ } !wine' |
        grep -v '^$' | sort >"$1.keys"
}

install() {
    "$wine" "$1" /S || fail "$1 /S ended with $?"
    [ "$(entries)" = 1 ] || fail "$(entries) entries in Apps & features after installing $(basename "$1")"
}

# The installed folder holds what the zip holds, the uninstaller beside it.
installed_files_are_the_zip_s() {
    (cd "$folder" && find . -type f | sed 's|^\./||' | sort) >installed.list
    { unzip -Z1 "$zip" | grep -v '/$' | sed 's|^[^/]*/||'; echo Uninstall.exe; } | sort >expected.list
    diff expected.list installed.list >/dev/null || {
        diff expected.list installed.list >&2
        fail "the installed files are not the zip's"
    }
}

if [ "$3" = uninstall ]; then
    quiet=$(value QuietUninstallString)
    [ -n "$quiet" ] || fail "no QuietUninstallString"
    # As Windows runs a command line: the program in quotes, its arguments.
    program=$(echo "$quiet" | sed -n 's/^"\([^"]*\)".*/\1/p')
    arguments=$(echo "$quiet" | sed 's/^"[^"]*" *//')
    # shellcheck disable=SC2086 # the arguments as the command line splits them
    "$wine" "$program" $arguments || fail "$quiet ended with $?"
    # The uninstaller runs from a copy of itself, and ends after the command.
    n=0
    while { [ -e "$folder" ] || [ "$(entries)" != 0 ]; } && [ $n -lt 300 ]; do
        sleep 0.1; n=$((n + 1))
    done
    [ "$(entries)" = 0 ] || fail "the entry is still in Apps & features"
    snapshot after
    # What the installs added is gone again, and nothing that was there
    # before them; what the program added when it ran (Wine's display
    # settings) is not the installer's.
    for kind in files keys; do
        comm -13 before.$kind installed.$kind | comm -12 - after.$kind >left.$kind
        comm -23 before.$kind after.$kind >gone.$kind
        [ ! -s left.$kind ] || { cat left.$kind >&2; fail "$kind of the installation are left after uninstalling"; }
        [ ! -s gone.$kind ] || { cat gone.$kind >&2; fail "$kind are gone that were there before installing"; }
    done
    echo "uninstalled silently with $quiet:" \
        "none of the $(comm -13 before.files installed.files | wc -l) files and folders" \
        "and $(comm -13 before.keys installed.keys | wc -l) registry lines it made is left, nothing else is gone"
    exit 0
fi

older=$3
zip=$4
snapshot before
install "$older"
[ "$(value DisplayVersion)" = 0.9 ] && [ -e "$folder/veraltet.txt" ] ||
    fail "the older version 0.9 did not install"
install "$setup"
[ ! -e "$folder/veraltet.txt" ] || fail "the older version's file is left beside the newer one"
installed_files_are_the_zip_s
python3 "$(dirname "$0")/../tools/notices.py" check "$folder" Uninstall.exe ||
    fail "the SPDX document does not cover the installed folder"
version=$(value DisplayVersion)
echo "installed $(basename "$setup") silently over version 0.9: one entry, version $version, none of 0.9's files left"

[ -f "$shortcut" ] || fail "no Start-menu shortcut Perforon.lnk"
tr -d '\000' <"$shortcut" | grep -aq 'C:\\Program Files\\Perforon\\perforon.exe' ||
    fail "the shortcut does not lead to C:\\Program Files\\Perforon\\perforon.exe"
echo "Start-menu shortcut Perforon.lnk to C:\\Program Files\\Perforon\\perforon.exe"

size=$(du -sk "$folder" | cut -f1)
for name in DisplayName DisplayVersion Publisher DisplayIcon InstallLocation EstimatedSize \
    UninstallString QuietUninstallString NoModify NoRepair; do
    echo "  $name = $(value "$name")"
done
[ "$(value DisplayName)" = Perforon ] && [ "$(value Publisher)" = "Perforon developers" ] &&
    [ "$(value DisplayIcon)" = 'C:\Program Files\Perforon\perforon.exe,0' ] &&
    [ "$(value InstallLocation)" = 'C:\Program Files\Perforon' ] &&
    [ "$(value UninstallString)" = '"C:\Program Files\Perforon\Uninstall.exe"' ] &&
    [ "$(value QuietUninstallString)" = '"C:\Program Files\Perforon\Uninstall.exe" /S' ] &&
    [ "$(value NoModify)" = 0x1 ] && [ "$(value NoRepair)" = 0x1 ] ||
    fail "the entry in Apps & features is not as it should be"
estimated=$(printf '%d' "$(value EstimatedSize)")
[ $((estimated * 10)) -gt $((size * 9)) ] && [ $((estimated * 10)) -lt $((size * 11)) ] ||
    fail "EstimatedSize $estimated KiB, where the folder holds $size KiB"

install "$setup"
installed_files_are_the_zip_s
echo "installed the same version once more: one entry, the same files"
snapshot installed
