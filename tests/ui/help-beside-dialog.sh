#!/usr/bin/env bash
# The real program on an X server with a window manager, as a user meets it: the options
# dialog is open, F1 opens the help, and the help window can still be zoomed and scrolled.
# usage: help-beside-dialog.sh PROGRAM_DIR [DPI]
set -euo pipefail
built=$1
dpi=${2:-120}
for tool in Xvfb openbox xdotool xprop import; do
  [ -n "$(command -v "$tool")" ] || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
# What the tools say besides their answers stays with the test.
noise="$work/noise.log"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>>"$noise" || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
# Waits for a visible window whose title is exactly $1 and prints its id.
window() {
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>>"$noise" | head -1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}
page_picture() { import -window "$1" -crop "$2" rgb:- | md5sum; }

Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>>"$noise" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display") QT_QPA_PLATFORM=xcb
xprop -root -format RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	$dpi"
openbox >>"$noise" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>>"$noise" | grep -q 'window id' && break
  sleep 0.1
done

# A program folder past its first start, with empty lists: no question on the way.
mkdir -p "$work/program"
cp "$built/bootrama" "$built/libbootrama_ui.so" "$built/BootramaE.qch" "$work/program/"
cp -r "$built/NewMachine" "$work/program/"
printf '[Bootrama-Options]\r\nNewInstalled=0\r\n' >"$work/program/bootrama.ini"
for list in brboot.dat brclsing.dat brclose.dat; do : >"$work/program/$list"; done
BOOTRAMA_MACHINE="$work/machine" XDG_CACHE_HOME="$work/cache" XDG_DATA_HOME="$work/data" \
  BOOTRAMA_MESSAGE_LOG="$work/boxes.log" "$work/program/bootrama" >"$work/out.log" 2>&1 &
pids+=($!)

main=$(window Bootrama) || fail "no main window"
xdotool windowactivate --sync "$main"
xdotool key --window "$main" alt+f o
options=$(window Options) || fail "the options dialog did not open"
xdotool key F1
help=$(window "Bootrama Help") || fail "F1 in the options dialog opened no help window"

# Zoomed in, the page is longer than the window; the wheel then scrolls it.
xdotool windowactivate --sync "$help"
for _ in 1 2 3 4; do xdotool key ctrl+plus; done
eval "$(xdotool getwindowgeometry --shell "$help")"
xdotool mousemove --window "$help" $((WIDTH * 3 / 4)) $((HEIGHT / 2))
sleep 0.5
page="$((WIDTH / 3))x$((HEIGHT / 2))+$((WIDTH / 2))+$((HEIGHT / 3))"
before=$(page_picture "$help" "$page")
xdotool click --repeat 5 --delay 50 5
sleep 0.5
after=$(page_picture "$help" "$page")
[ "$before" != "$after" ] || fail "the help window did not scroll beside the options dialog"
window Options >>"$noise" || fail "the options dialog closed"

xdotool windowactivate --sync "$options"
xdotool key Escape
sleep 0.5
! xdotool search --onlyvisible --name '^Options$' >>"$noise" 2>&1 || fail "Esc left the dialog open"
[ ! -s "$work/boxes.log" ] || fail "unexpected boxes: $(cat "$work/boxes.log")"
echo "help beside the options dialog: opened with F1, zoomed and scrolled"
