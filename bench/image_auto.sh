#!/usr/bin/env bash
# `bootrama /Auto` switching all three logos on a machine whose C: is a 2 GiB FAT32 disk
# image (sparse, behind an MBR, with a WINDOWS folder of 500 files), against the same switch
# on a machine whose C: is a folder holding the same files, in the same run; the ratio must
# stay at most 1.5. The lists hold 100 logos each, on the host.
# Usage: bench/image_auto.sh BUILD_DIR [DISK_FOLDER]
#   DISK_FOLDER: where image and folder lie; in memory by default, where the flushes of a
#   busy disk would not swamp what the program itself costs.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
export PATH="$PATH:/sbin:/usr/sbin" MTOOLS_SKIP_CHECK=1
for tool in hyperfine mkfs.fat sfdisk mcopy; do
  command -v "$tool" >/dev/null || { echo "image_auto: $tool is not installed" >&2; exit 1; }
done

memory=/dev/shm
[ -d "$memory" ] && [ -w "$memory" ] || memory=${TMPDIR:-/tmp}
work=$(mktemp -d -p "${2:-$memory}")
trap 'rm -rf "$work"' EXIT
program="$work/program"
mkdir -p "$program" "$work/files" "$work/logos"
cp "$build/bin/bootrama" "$build/bin/libbootrama_ui.so" "$program/"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

# Two machines, made by a first run each; the image machine's c: then leads to the image.
for machine in folder image; do
  BOOTRAMA_MACHINE="$work/$machine" BOOTRAMA_MESSAGE_LOG="$work/first.log" "$program/bootrama" /Auto
done
for i in $(seq 1 500); do printf 'file %d' "$i" > "$work/files/FILE$i.DLL"; done
cp "$work"/files/* "$work/folder/drive_c/WINDOWS/"
image="$work/win98.img"
truncate -s 2G "$image"
echo 'start=2048,type=c,bootable' | sfdisk -q "$image"
mkfs.fat --offset 2048 -F 32 "$image" $((2 * 1024 * 1024 - 1024)) >/dev/null
mmd -i "$image@@1M" ::/WINDOWS
mcopy -i "$image@@1M" "$work"/files/* ::/WINDOWS/
ln -sfn "$image" "$work/image/dosdevices/c:"

printf '[Bootrama-Options]\r\nChangeBootBmp=1\r\nChangeCloseBmp=1\r\nChangeClosingBmp=1\r\nNewInstalled=0\r\n' \
  > "$program/bootrama.ini"
python3 - "$work" <<'PY'
import os, sys
work = sys.argv[1]
lines = []
for i in range(100):
    with open(f"{work}/logos/logo{i}.sys", "wb") as logo:
        logo.write(os.urandom(129078))
    lines.append(f"Z:{work}/logos/logo{i}.sys\r\n".replace("/", "\\"))
for name in ("brboot.dat", "brclsing.dat", "brclose.dat"):
    with open(f"{work}/program/{name}", "w", newline="") as out:
        out.write("".join(lines))
PY

export BOOTRAMA_MESSAGE_LOG="$work/boxes.log"
for machine in folder image; do
  BOOTRAMA_MACHINE="$work/$machine" "$program/bootrama" /Auto
done
if [ -s "$work/boxes.log" ]; then
  echo "image_auto: bootrama showed messages:" >&2
  cat "$work/boxes.log" >&2
  exit 1
fi

hyperfine -N --warmup 3 --min-runs 30 --export-json "$work/times.json" \
  -n "folder machine" "env BOOTRAMA_MACHINE=$work/folder $program/bootrama /Auto" \
  -n "image machine" "env BOOTRAMA_MACHINE=$work/image $program/bootrama /Auto" >&2

python3 - "$work/times.json" <<'PY'
import json, sys
results = {r["command"]: r["median"] for r in json.load(open(sys.argv[1]))["results"]}
folder, image = results["folder machine"], results["image machine"]
print(f"bootrama /Auto, three logos: 2 GiB FAT32 image {image * 1000:.1f} ms, "
      f"folder {folder * 1000:.1f} ms, ratio {image / folder:.2f} (goal: at most 1.5)")
PY
