#!/bin/sh
# SPDX-FileCopyrightText: 2023-2026 Perforon developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command on the display server whose variables displayserver.sh
# wrote to DIR/env:  ondisplay.sh DIR COMMAND [ARGUMENT...]
set -eu
dir=$1
shift
set -a
. "$dir/env"
set +a
exec "$@"
