#!/usr/bin/env bash
# Runs every benchmark script in this folder against the given build folder.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
for script in "$here"/*.sh; do
  [ "$(basename "$script")" = run-all.sh ] && continue
  echo "== $(basename "$script" .sh)"
  "$script" "$build"
done
