# Sourced by the scripts that run the real program as a user meets it: a private X server
# with a window manager, and a program folder of the build. Needs: set -euo pipefail.

# Exits with 77 (skipped) when a tool is missing.
need_desktop_tools() {
  for tool in Xvfb openbox xdotool xprop import "$@"; do
    [ -n "$(command -v "$tool")" ] || { echo "SKIP: $tool is not installed"; exit 77; }
  done
}

# A work folder, removed at the end with everything started in it. What the tools say
# besides their answers stays in $noise.
work=$(mktemp -d)
noise="$work/noise.log"
pids=()
end_session() {
  for pid in "${pids[@]}"; do kill "$pid" 2>>"$noise" || true; done
  rm -rf "$work"
}
trap end_session EXIT

# An X server of the size $1 (1280x1024) at $2 dots per inch, with openbox.
start_desktop() {
  Xvfb -displayfd 3 -noreset -screen 0 "$1x24" -nolisten tcp 3>"$work/display" 2>>"$noise" &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=:$(cat "$work/display") QT_QPA_PLATFORM=xcb
  xprop -root -format RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	$2"
  openbox >>"$noise" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>>"$noise" | grep -q 'window id' && break
    sleep 0.1
  done
}

# Starts the program of the build folder $1 in a program folder of its own, with a new
# machine; $2 is 1 for a first start, 0 for a program folder past it with empty lists.
# Boxes go to $work/boxes.log, answered with OK.
start_program() {
  mkdir -p "$work/program"
  cp "$1/bootrama" "$1/libbootrama_ui.so" "$1/BootramaE.qch" "$work/program/"
  cp -r "$1/NewMachine" "$1/Examples" "$work/program/"
  printf '[Bootrama-Options]\r\nNewInstalled=%s\r\n' "$2" >"$work/program/bootrama.ini"
  if [ "$2" = 0 ]; then
    for list in brboot.dat brclsing.dat brclose.dat; do : >"$work/program/$list"; done
  fi
  BOOTRAMA_MACHINE="$work/machine" XDG_CACHE_HOME="$work/cache" XDG_DATA_HOME="$work/data" \
    BOOTRAMA_MESSAGE_LOG="$work/boxes.log" BOOTRAMA_ANSWERS=ok \
    "$work/program/bootrama" >"$work/out.log" 2>&1 &
  pids+=($!)
}

# Waits for a visible window whose title is exactly $1 and prints its id.
window() {
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>>"$noise" | head -1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}
