#!/bin/sh
# Runs a command on the display server whose variables displayserver.sh
# wrote to DIR/env:  ondisplay.sh DIR COMMAND [ARGUMENT...]
set -eu
dir=$1
shift
set -a
. "$dir/env"
set +a
exec "$@"
