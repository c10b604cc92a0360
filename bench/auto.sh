#!/usr/bin/env bash
# `bootrama /Auto` switching all three logos from lists of 10,000 entries each, against
# copying one logo with cp, in the same run. Usage: bench/auto.sh BUILD_DIR [ENTRIES]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
entries=${2:-10000}
command -v hyperfine >/dev/null || { echo "auto: hyperfine is not installed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
program="$work/program"
machine="$work/machine"
mkdir -p "$program"
cp "$build/bin/bootrama" "$program/"
export BOOTRAMA_MACHINE="$machine" BOOTRAMA_MESSAGE_LOG="$work/boxes.log"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
# The first run creates the machine (and finds no configuration file yet).
"$program/bootrama" /Auto
rm "$work/boxes.log"
mkdir -p "$machine/drive_c/Logos"
printf '[Bootrama-Options]\r\nChangeBootBmp=1\r\nChangeCloseBmp=1\r\nChangeClosingBmp=1\r\nNewInstalled=0\r\n' \
  > "$program/bootrama.ini"

# One logo-sized file under $entries names (hard links): distinct entries, little disk.
python3 - "$work" "$entries" <<'PY'
import os, sys
work, entries = sys.argv[1], int(sys.argv[2])
with open(f"{work}/logo.sys", "wb") as logo:
    logo.write(os.urandom(129078))
lines = []
for i in range(entries):
    os.link(f"{work}/logo.sys", f"{work}/machine/drive_c/Logos/logo{i}.sys")
    lines.append(f"C:\\Logos\\logo{i}.sys\r\n")
for name in ("brboot.dat", "brclsing.dat", "brclose.dat"):
    with open(f"{work}/program/{name}", "w", newline="") as out:
        out.write("".join(lines))
PY

"$program/bootrama" /Auto
if [ -s "$work/boxes.log" ]; then
  echo "auto: bootrama showed messages:" >&2
  cat "$work/boxes.log" >&2
  exit 1
fi

hyperfine -N --warmup 3 --min-runs 30 --export-json "$work/times.json" \
  -n "bootrama /Auto" "$program/bootrama /Auto" \
  -n "cp one logo" "cp $work/logo.sys $machine/drive_c/copy.sys" >&2

python3 - "$work/times.json" "$entries" <<'PY'
import json, sys
results = {r["command"]: r["mean"] for r in json.load(open(sys.argv[1]))["results"]}
auto, cp = results["bootrama /Auto"], results["cp one logo"]
print(f"bootrama /Auto (3 lists of {sys.argv[2]} entries): {auto * 1000:.1f} ms, "
      f"cp of one logo: {cp * 1000:.2f} ms, ratio {auto / cp:.1f}")
PY
