#!/bin/sh
# Starts Bootrama from its program folder, where it keeps its settings and lists.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/bootrama/bootrama" "$@"
