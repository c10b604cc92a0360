#!/usr/bin/env bash
# A 12-megapixel JPEG loaded in the create-logo dialog, against bootrama-logo converting the
# same file in the same run: what the dialog's responsiveness costs, and how long the
# dialog lets a repaint or Esc wait. The picture is made from a test picture, never kept.
# Usage: bench/createdialog.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-5}
testdata=$(sed -n 's/^BOOTRAMA_TESTDATA:PATH=//p' "$build/CMakeCache.txt")
source_picture="$testdata/jpeg/libjpeg-turbo/testorig.jpg"
for tool in convert /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "createdialog.sh: $tool is missing" >&2; exit 1; }
done
[ -f "$source_picture" ] || { echo "createdialog.sh: skipped, no test pictures" >&2; exit 0; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export BOOTRAMA_MACHINE="$work/machine"

convert "$source_picture" -resize '4000x3000!' -attenuate 0.4 +noise Gaussian -quality 90 \
  "$work/photo.jpg"
"$build/bin/bootrama-logo" "$work/photo.jpg" "$work/warm.sys"  # creates the machine

: >"$work/results"
for ((i = 0; i < runs; i++)); do
  /usr/bin/time -f "%e" -o "$work/one" "$build/bin/bootrama-logo" "$work/photo.jpg" "$work/out.sys"
  cat "$work/one" >>"$work/results"
done
logo=$(sort -n "$work/results" | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
dialog=$("$build/bench/bench_ui_createdialog" "$work/photo.jpg" "$runs")
echo "$dialog"
seconds=$(echo "$dialog" | sed -E 's/.*load ([0-9.]+) s.*/\1/')
awk -v d="$seconds" -v l="$logo" 'BEGIN {
  printf "12 MP JPEG: create dialog %.3f s / bootrama-logo %.3f s = %.2fx\n", d, l, d / l }'
