#!/usr/bin/env bash
# 12-megapixel pictures to finished logos. bootrama-logo against `djpeg -colors 236` (the
# same decoding, so the cost of everything else shows) and against ImageMagick.
# Runs alternate; the table shows medians of wall time and of peak resident memory.
# Usage: bench/image.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-5}
logo="$build/bin/bootrama-logo"
for tool in djpeg convert /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "image.sh: $tool is missing" >&2; exit 1; }
done
[ -x "$logo" ] || { echo "image.sh: build bootrama-logo first ($logo)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export BOOTRAMA_MACHINE="$work/machine"

# A photo-like picture: soft shapes with grain, 4000 by 3000 pixels.
convert -seed 4 -size 4000x3000 plasma:fractal -blur 0x3 -attenuate 0.4 +noise Gaussian \
  -quality 90 "$work/photo.jpg"
convert "$work/photo.jpg" -type TrueColor BMP3:"$work/photo.bmp"
"$logo" "$work/photo.jpg" "$work/warm.sys"  # creates the machine outside the timing

# measure NAME COMMAND...: appends "NAME seconds kilobytes" to results
measure() {
  local name=$1
  shift
  /usr/bin/time -f "$name %e %M" -o "$work/one" "$@" >/dev/null 2>&1
  cat "$work/one" >>"$work/results"
}

: >"$work/results"
for ((i = 0; i < runs; i++)); do
  measure logo-jpeg "$logo" "$work/photo.jpg" "$work/out.sys"
  measure djpeg djpeg -colors 236 -outfile /dev/null "$work/photo.jpg"
  measure magick-jpeg convert "$work/photo.jpg" -resize '320x400!' -colors 256 -type Palette BMP3:"$work/im.bmp"
  measure logo-bmp "$logo" "$work/photo.bmp" "$work/out2.sys"
  measure magick-bmp convert "$work/photo.bmp" -resize '320x400!' -colors 256 -type Palette BMP3:"$work/im2.bmp"
done

awk -v runs="$runs" '
  function median(list, n,   sorted, i, j, t) {
    for (i = 1; i <= n; i++) sorted[i] = list[i]
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (sorted[j] < sorted[i]) { t = sorted[i]; sorted[i] = sorted[j]; sorted[j] = t }
    return n % 2 ? sorted[(n + 1) / 2] : (sorted[n / 2] + sorted[n / 2 + 1]) / 2
  }
  { n[$1]++; wall[$1, n[$1]] = $2; rss[$1, n[$1]] = $3 }
  END {
    split("logo-jpeg djpeg magick-jpeg logo-bmp magick-bmp", names, " ")
    for (k = 1; k <= 5; k++) {
      name = names[k]
      for (i = 1; i <= n[name]; i++) { w[i] = wall[name, i]; r[i] = rss[name, i] }
      W[name] = median(w, n[name]); R[name] = median(r, n[name])
      printf "%-12s wall %6.3f s   peak %7.1f MB\n", name, W[name], R[name] / 1024
    }
    printf "12 MP JPEG: bootrama-logo / djpeg -colors 236: wall %.2fx (target <= 1.10), memory %.2fx (target <= 1.50)\n", W["logo-jpeg"] / W["djpeg"], R["logo-jpeg"] / R["djpeg"]
    printf "12 MP JPEG: bootrama-logo / ImageMagick:       wall %.2fx, memory %.2fx\n", W["logo-jpeg"] / W["magick-jpeg"], R["logo-jpeg"] / R["magick-jpeg"]
    printf "12 MP BMP:  bootrama-logo / ImageMagick:       wall %.2fx, memory %.2fx\n", W["logo-bmp"] / W["magick-bmp"], R["logo-bmp"] / R["magick-bmp"]
  }' "$work/results"
