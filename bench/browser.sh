#!/usr/bin/env bash
# The list editor: a folder of 20,000 files in its browser against ls and find, and "Include
# all" of 200 JPEG pictures against converting them alone, in one run.
# Usage: bench/browser.sh BUILD_DIR [FILES] [PICTURES]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
bench="$build/bench/bench_ui_browser"
[ -x "$bench" ] || { echo "browser: build bench_ui_browser first ($bench)" >&2; exit 1; }
QT_QPA_PLATFORM=offscreen "$bench" "${2:-20000}" "${3:-200}"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
