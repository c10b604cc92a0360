#!/usr/bin/env bash
# The real program on an X server with a window manager, as a user meets it: a dialog is
# open, F1 opens the help, and the help window can still be zoomed and scrolled.
# usage: help-beside-dialog.sh PROGRAM_DIR [DPI [options|view]]
set -euo pipefail
built=$1
dpi=${2:-120}
# The keys that open the dialog from the main window, and the dialog's title.
case ${3:-options} in
  options) keys=(alt+f o) title=Options ;;
  view) keys=(alt+l v Return) title="View & Replace Startup logo" ;;
  *) echo "unknown dialog: $3"; exit 2 ;;
esac
source "$(dirname "$0")/desktop-session.sh"
need_desktop_tools
fail() { echo "FAIL: $*"; exit 1; }
page_picture() { import -window "$1" -crop "$2" rgb:- | md5sum; }

start_desktop 1280x1024 "$dpi"
# Past its first start, with empty lists: no question on the way.
start_program "$built" 0

main=$(window Bootrama) || fail "no main window"
xdotool windowactivate --sync "$main"
xdotool key --delay 150 "${keys[@]}"
dialog=$(window "$title") || fail "the dialog $title did not open"
xdotool key F1
help=$(window "Bootrama Help") || fail "F1 in the dialog $title opened no help window"

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
[ "$before" != "$after" ] || fail "the help window did not scroll beside the dialog $title"
window "$title" >>"$noise" || fail "the dialog $title closed"

xdotool windowactivate --sync "$dialog"
xdotool key Escape
sleep 0.5
! xdotool search --onlyvisible --name "^$title\$" >>"$noise" 2>&1 || fail "Esc left the dialog open"
[ ! -s "$work/boxes.log" ] || fail "unexpected boxes: $(cat "$work/boxes.log")"
echo "help beside the dialog $title: opened with F1, zoomed and scrolled"
