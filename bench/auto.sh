#!/usr/bin/env bash
# `bootrama /Auto` switching all three logos from lists of 10,000 entries each, against
# `bootrama-logo` without arguments (the same start of a QtCore program, which then only
# prints its usage), in the same run; the ratio must stay at most 1.5.
# Usage: bench/auto.sh BUILD_DIR [ENTRIES]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
entries=${2:-10000}
command -v hyperfine >/dev/null || { echo "auto: hyperfine is not installed" >&2; exit 1; }

# In memory where the system has such a folder: every switch flushes its logo to disk, and
# the flushes of a busy disk would swamp what the program itself costs.
memory=/dev/shm
[ -d "$memory" ] && [ -w "$memory" ] || memory=${TMPDIR:-/tmp}
work=$(mktemp -d -p "$memory")
trap 'rm -rf "$work"' EXIT
program="$work/program"
machine="$work/machine"
mkdir -p "$program"
cp "$build/bin/bootrama" "$build/bin/bootrama-logo" "$program/"
# Beside the program as installed, though /Auto with nothing to say never loads it.
cp "$build/bin/libbootrama_ui.so" "$program/"
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
# At a start of Windows the settings and lists were written in an earlier session; what the
# program keeps of files that changed within the last two seconds, it reads again.
sleep 2

# Rounds of both programs, so that a machine busier in one half of the run than in the other
# does not tip the ratio; each round's medians give a ratio, and the median ratio counts.
# bootrama-logo ends with its usage and exit code 2, hence --ignore-failure.
for round in 1 2 3 4 5; do
  hyperfine -N --ignore-failure --warmup 3 --runs 60 --export-json "$work/round$round.json" \
    -n "bootrama /Auto" "$program/bootrama /Auto" \
    -n "bootrama-logo" "$program/bootrama-logo" >&2
done

python3 - "$entries" "$work"/round*.json <<'PY'
import json, statistics, sys
rounds = [{r["command"]: r["median"] for r in json.load(open(name))["results"]}
          for name in sys.argv[2:]]
auto = statistics.median(r["bootrama /Auto"] for r in rounds)
start = statistics.median(r["bootrama-logo"] for r in rounds)
ratio = statistics.median(r["bootrama /Auto"] / r["bootrama-logo"] for r in rounds)
print(f"bootrama /Auto (3 lists of {sys.argv[1]} entries): median {auto * 1000:.1f} ms, "
      f"bootrama-logo without arguments: {start * 1000:.1f} ms, ratio {ratio:.2f} "
      f"(median of {len(rounds)} rounds; goal: at most 1.5)")
PY
