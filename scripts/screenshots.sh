#!/usr/bin/env bash
# Writes the pictures of docs/screenshots from a build (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target ui_tests
mkdir -p docs/screenshots
BOOTRAMA_SCREENSHOT_DIR="$PWD/docs/screenshots" QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
  "$build/tests/ui_tests" --gtest_filter='ScreenshotTest.*'
ls docs/screenshots
