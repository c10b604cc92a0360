#!/usr/bin/env bash
# The bash completion of bootrama-logo: its options and the three methods.
# usage: completion.sh COMPLETION_FILE
set -uo pipefail
source "$1"
complete -p bootrama-logo >/dev/null || { echo "FAIL: bootrama-logo has no completion"; exit 1; }
failed=0
expect() {  # expect "WORDS..." "COMPLETIONS"
  read -ra COMP_WORDS <<<"$1"
  [[ $1 == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _bootrama_logo
  [ "${COMPREPLY[*]}" = "$2" ] || { echo "FAIL: '$1' completes to '${COMPREPLY[*]}'"; failed=1; }
}
expect "bootrama-logo --method " "stretch crop zoom"
expect "bootrama-logo --method z" "zoom"
expect "bootrama-logo --no" "--no-aspect"
expect "bootrama-logo --" "--method --aspect --no-aspect --help --version"
exit $failed
