#!/usr/bin/env bash
# Reading and replacing the three logos in a 2 GiB FAT32 disk image (sparse, behind an MBR,
# with a WINDOWS folder of 500 files), against a folder machine holding the same files, in
# one run. Usage: bench/image_drive.sh BUILD_DIR [ROUNDS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
rounds=${2:-21}
export PATH="$PATH:/sbin:/usr/sbin" MTOOLS_SKIP_CHECK=1
for tool in mkfs.fat sfdisk mcopy; do
  command -v "$tool" >/dev/null || { echo "image_drive: $tool is not installed" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
image="$work/disk.img"
truncate -s 2G "$image"
echo 'start=2048,type=c,bootable' | sfdisk -q "$image"
mkfs.fat --offset 2048 -F 32 "$image" $(((2 * 1024 * 1024 - 1024))) >/dev/null
mkdir -p "$work/files" "$work/machine/drive_c/WINDOWS"
for i in $(seq 1 500); do printf 'file %d' "$i" > "$work/files/FILE$i.DLL"; done
cp "$work"/files/* "$work/machine/drive_c/WINDOWS/"
mmd -i "$image@@1M" ::/WINDOWS
mcopy -i "$image@@1M" "$work"/files/* ::/WINDOWS/

"$build/bench/bench_image_drive" "$image" "$work/machine" "$rounds"
