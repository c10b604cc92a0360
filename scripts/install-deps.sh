#!/usr/bin/env bash
# Installs the Debian 12 packages that building, packaging and testing need, only when some
# are missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-documentation-tools
  libqt6sql6-sqlite qt6-qpa-plugins libgl-dev
  libjpeg62-turbo-dev libjpeg-turbo-progs
  libgtest-dev googletest
  xvfb xauth x11-utils imagemagick attr openbox xdotool
  clang libclang-rt-14-dev clang-format
  hyperfine time
  dosfstools mtools fdisk qemu-utils
  fonts-dejavu-core
  help2man file lintian desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
"${sudo[@]}" apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
