#!/usr/bin/env bash
# An installed Bootrama (a prefix, or an unpacked package) started by a new user who may not
# write the installation, with a home of its own: the user's program folder is made once, the
# first start runs the setup with the example logos and the help, the automatic switch
# writes the desktop session's autostart entry and takes it away again (also with /U), and
# nothing is written outside the home.
# usage: run-installed.sh PREFIX
set -euo pipefail
prefix=$(readlink -f "$1")
work=$(mktemp -d)
chmod 755 "$work"
home="$work/home"
config="$home/settings"  # $XDG_CONFIG_HOME; the data folders follow $HOME
# The session's runtime folder, which a login always has; without one Qt makes its own in /tmp.
runtime="$work/runtime"
mkdir -p "$home" "$runtime"
chmod 700 "$runtime"
fail() { echo "FAIL: $*"; exit 1; }

# Root runs the programs as nobody; any other user takes the write permission away.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody: "$home" "$runtime"
  as_user=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
  trap 'rm -rf "$work"' EXIT
else
  chmod -R a-w "$prefix"
  trap 'chmod -R u+w "$prefix"; rm -rf "$work"' EXIT
fi
touch "$work/stamp"

log="$home/boxes.log"
# run [VAR=value...] PROGRAM ARGS...: as that user, in a bare environment without a display.
run() {
  "${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$config" \
    XDG_RUNTIME_DIR="$runtime" BOOTRAMA_MESSAGE_LOG="$log" "$@"
}
# Starts the main window on an off-screen display; it ends once it has painted.
start() {
  rm -f "$log"
  run QT_QPA_PLATFORM=offscreen BOOTRAMA_STARTUP_BENCH=1 "$@" "$prefix/bin/bootrama" \
    >"$work/out" 2>&1 || fail "the main window did not start: $(cat "$work/out")"
}
set_flag() {
  run sed -i "s/^ChangeBootBmp=.*/ChangeBootBmp=$1\r/" "$program/bootrama.ini"
}
boxes() { if [ -f "$log" ]; then cat "$log"; fi; }

# Usage and version, and an unknown option: nothing is set up for them.
for program in bootrama bootrama-logo; do
  run "$prefix/bin/$program" --help >"$work/out" || fail "$program --help"
  grep -q "^Usage: $program " "$work/out" || fail "$program --help printed: $(cat "$work/out")"
  run "$prefix/bin/$program" --version >"$work/out" || fail "$program --version"
  grep -q "^$program (Bootrama) " "$work/out" || fail "$program --version printed: $(cat "$work/out")"
  code=0
  run "$prefix/bin/$program" --no-such-option >"$work/out" 2>"$work/err" || code=$?
  [ "$code" -eq 2 ] && [ ! -s "$work/out" ] && grep -q "^Usage: $program " "$work/err" ||
    fail "$program --no-such-option ended with $code"
done
[ -z "$(ls -A "$home")" ] || fail "the options wrote into the home: $(ls -A "$home")"

# A program folder that can't be made is reported, and nothing is done.
run touch "$home/not-a-folder"
code=0
run XDG_DATA_HOME="$home/not-a-folder" "$prefix/bin/bootrama" /Auto >/dev/null 2>&1 || code=$?
[ "$code" -eq 1 ] && grep -q "Bootrama can't create its program folder" "$log" ||
  fail "an impossible program folder ended with $code: $(boxes)"
run rm "$home/not-a-folder" "$log"

# /Auto of a new user: the program folder and the machine are made; no switch is on yet, so
# the main window would open, which needs a display.
program="$home/.local/share/bootrama/program"
code=0
run "$prefix/bin/bootrama" /Auto >"$work/out" 2>&1 || code=$?
[ "$code" -eq 1 ] || fail "/Auto of a new user ended with $code: $(cat "$work/out")"
grep -q "The Automatic Bootrama is not activated" "$log" || fail "/Auto: $(boxes)"
[ "$(cat "$program/bootrama.ini")" = $'[Bootrama-Options]\r\nNewInstalled=1\r' ] ||
  fail "no fresh bootrama.ini in $program"
for data in Examples BootramaE.qch; do
  [ "$(readlink -f "$program/$data")" = "$prefix/share/bootrama/$data" ] ||
    fail "$data is not reached from the program folder"
done
[ -f "$home/.local/share/bootrama/machine/drive_c/WINDOWS/LOGOW.SYS" ] ||
  fail "the new machine has not got its shutdown logo"

# The first start: the setup asks for the backup (answered OK) and reports it, opens the help
# without an error and puts the example logos into the Startup list; nothing else is said.
start BOOTRAMA_ANSWERS=ok
[ "$(boxes | cut -f1,2)" = $'okcancel\tBackup\ninformation\tBackup' ] ||
  fail "the first start said: $(boxes)"
[ "$(grep -c '\\program\\Examples\\.*\.bmp' "$program/brboot.dat")" -eq 6 ] ||
  fail "the Startup list holds: $(cat "$program/brboot.dat")"
grep -q "NewInstalled=0" "$program/bootrama.ini" || fail "the setup ran, but is asked for again"
start
[ -z "$(boxes)" ] || fail "the second start said: $(boxes)"

# The automatic switch at every login: on, the session's entry runs this installation's
# bootrama with /Auto; off, it goes; on again, /U takes it away.
entry="$config/autostart/bootrama-auto.desktop"
set_flag 1
start
[ -f "$entry" ] || fail "no autostart entry with the switch on"
grep -qxF "Exec=\"$prefix/lib/bootrama/bootrama\" /Auto" "$entry" ||
  fail "the autostart entry runs: $(grep Exec "$entry")"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry"; fi
rm -f "$log"
run "$prefix/bin/bootrama" /Auto || fail "/Auto: $(boxes)"
ls "$home/.local/share/bootrama/machine/drive_c" | grep -qix logo.sys ||
  fail "/Auto switched no Startup logo: $(boxes)"
set_flag 0
start
[ ! -e "$entry" ] || fail "the autostart entry stayed with the switch off"
set_flag 1
start
[ -f "$entry" ] || fail "no autostart entry with the switch on again"
rm -f "$log"
run BOOTRAMA_ANSWERS=no,yes "$prefix/bin/bootrama" /U || fail "/U: $(boxes)"
[ ! -e "$entry" ] || fail "/U left the autostart entry"

# bootrama-logo of the installation makes a logo of an example.
run "$prefix/bin/bootrama-logo" "$prefix/share/bootrama/Examples/Sunrise.bmp" "$home/sun.sys"
[ "$(stat -c %s "$home/sun.sys")" -eq 129078 ] || fail "bootrama-logo made no logo"

# The program folder was made once: the first start's settings are still there.
grep -q "NewInstalled=0" "$program/bootrama.ini" || fail "the program folder was made anew"
changed=$(find "$prefix" -newer "$work/stamp")
[ -z "$changed" ] || fail "the installation was written: $changed"
# Nor were the shared temporary folders, where only a user of its own can be told apart.
if [ ${#as_user[@]} -gt 0 ]; then
  changed=$(find /tmp /var/tmp /dev/shm -path "$work" -prune -o \
    -user nobody -newer "$work/stamp" -print 2>/dev/null || true)
  [ -z "$changed" ] || fail "the user wrote outside the home: $changed"
fi
echo "PASS: $prefix"
