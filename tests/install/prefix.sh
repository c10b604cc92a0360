#!/usr/bin/env bash
# `make install` into a prefix of its own: the standard tree with what an installation outside
# the package manager adds (the licence, a fresh bootrama.ini). Its owner, who may write the
# program folder, keeps the data there as before; a new user who may not gets a program folder
# of their own (run-installed.sh).
# usage: prefix.sh BUILD_DIR
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"
prefix="$work/prefix"
cmake --install "$1" --prefix "$prefix" --strip >/dev/null

for file in share/doc/bootrama/LICENSE share/doc/bootrama/copyright lib/bootrama/bootrama.ini \
            share/man/man1/bootrama.1.gz share/man/man1/bootrama-logo.1.gz \
            share/bash-completion/completions/bootrama-logo; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done

# The owner's run: the program folder is the installation's own.
mkdir "$work/owner"
code=0
env -i PATH=/usr/bin:/bin HOME="$work/owner" BOOTRAMA_MESSAGE_LOG="$work/owner.log" \
  "$prefix/bin/bootrama" /Auto >/dev/null 2>&1 || code=$?
[ "$code" -eq 1 ] && grep -q "not activated" "$work/owner.log" || fail "the owner's /Auto ended with $code"
[ ! -e "$work/owner/.local/share/bootrama/program" ] || fail "the owner got a program folder of their own"

"$here/run-installed.sh" "$prefix"
