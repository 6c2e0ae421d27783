#!/usr/bin/env bash
# run_fuzzer.sh <fuzzer> <corpus> <regressions> <work dir> <seconds>
# Runs every regression input once, then fuzzes for a fixed time on a copy of
# the corpus (new inputs go to the copy; the checked-in corpus is only read).
# A crash leaves its input in the work dir, to be added to the regressions.
set -euo pipefail
fuzzer=$1 corpus=$2 regressions=$3 work=$4 seconds=$5
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
cp -r "$corpus/." "$work/corpus/"
shopt -s nullglob
inputs=("$regressions"/*)
if ((${#inputs[@]})); then
  "$fuzzer" -timeout=10 "${inputs[@]}"
fi
dirs=("$work/corpus")
[ -d "$regressions" ] && dirs+=("$regressions")
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/artifacts/" "${dirs[@]}" 2>&1 | tee "$work/fuzz.log"
