#!/usr/bin/env bash
# Writes the pictures of docs/screenshots from a build (default: build): the windows one by
# one from the widget tests, and the first start of the real program on a desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target ui_tests bootrama
mkdir -p docs/screenshots
BOOTRAMA_SCREENSHOT_DIR="$PWD/docs/screenshots" QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
  "$build/tests/ui_tests" --gtest_filter='ScreenshotTest.*'

# The first start ends in the main window with the help beside it: the desktop around them
# is cut off.
source tests/ui/desktop-session.sh
need_desktop_tools
start_desktop 1280x1024 96
start_program "$build/bin" 1
window Bootrama >/dev/null && window "Bootrama Help" >/dev/null ||
  { echo "the first start showed no main window and help"; exit 1; }
sleep 1  # the last paint of the previews
import -window root -trim +repage docs/screenshots/first-start.png
ls docs/screenshots
