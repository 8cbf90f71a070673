#!/bin/sh
# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a Windows test program under Wine:  underwine.sh WINE PROGRAM [ARGUMENT...]
# QtTest's output does not reach a pipe from a program under Wine, so it
# goes to a file, which is shown once the program has ended.
set -u
wine=$1
shift
log=$(mktemp)
"$wine" "$@" -o "$log,txt"
status=$?
cat "$log"
rm -f "$log"
exit "$status"
