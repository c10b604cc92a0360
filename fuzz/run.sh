#!/usr/bin/env bash
# Runs one libFuzzer target for SECONDS. New inputs go to a corpus beside the target, where
# later runs go on from them; the committed seeds and copies of the test pictures that match
# the PATTERNs seed it. A finding ends the run with the target's report and a non-zero exit.
# Usage: fuzz/run.sh TARGET SECONDS DICTIONARY SEEDS TESTDATA PATTERN...
set -euo pipefail
target=$1 seconds=$2 dictionary=$3 seeds=$4 testdata=$5
shift 5
name=$(basename "$target")
work="$(dirname "$target")/fuzz-work/$name"
mkdir -p "$work/corpus" "$work/pictures" "$work/findings"

if [ -d "$testdata" ]; then
  for pattern in "$@"; do
    find "$testdata" -type f -iname "$pattern" -print0 |
      while IFS= read -r -d '' file; do
        relative=${file#"$testdata"/}
        cp "$file" "$work/pictures/${relative//\//_}"
      done
  done
else
  echo "$name: no test pictures in $testdata, only the committed seeds" >&2
fi

inputs=("$work/corpus" "$work/pictures")
[ -d "$seeds" ] && inputs+=("$seeds")
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -dict="$dictionary" \
  -artifact_prefix="$work/findings/" -print_final_stats=1 "${inputs[@]}"
