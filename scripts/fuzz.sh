#!/usr/bin/env bash
# Runs one fuzz target for a given time.
#
#   scripts/fuzz.sh TARGET SECONDS [--merge]
#
# TARGET is one of: receiver_stream journal quoted_records result_file.
# Builds the libFuzzer targets with clang, AddressSanitizer and UBSan in
# build-fuzz/ (override with PALOMIND_FUZZ_BUILD), starts from the committed
# seed corpus fuzz/corpus/TARGET plus whatever earlier runs found (kept in
# build-fuzz/corpus/TARGET), and writes any crashing input to
# build-fuzz/artifacts/. With --merge, the inputs that add coverage are
# merged into the committed corpus afterwards (review before committing).
# The summary line at the end gives the executions and the outcome.
set -euo pipefail
cd "$(dirname "$0")/.."

targets="receiver_stream journal quoted_records result_file"
if [ $# -lt 2 ] || [[ " $targets " != *" $1 "* ]] || ! [[ $2 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 TARGET SECONDS [--merge]   (TARGET: $targets)" >&2
  exit 2
fi
target=$1
seconds=$2
merge=${3:-}
build=${PALOMIND_FUZZ_BUILD:-build-fuzz}

source ./scripts_common.sh
palomind_install_packages "${PALOMIND_BUILD_PACKAGES[@]}" clang libclang-rt-14-dev  # libFuzzer's runtime

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPALOMIND_FUZZ=ON -DPALOMIND_BUILD_GUI=OFF -DPALOMIND_BUILD_TESTS=OFF -DPALOMIND_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target "fuzz_$target" >/dev/null

seeds=fuzz/corpus/$target
work=$build/corpus/$target
artifacts=$build/artifacts
mkdir -p "$work" "$artifacts"
log=$build/fuzz-$target.log

# Files and journals are bounded by what the readers accept in practice;
# the longest inputs matter for the result file (a long race).
case $target in
  result_file) max_len=65536 ;;
  quoted_records) max_len=16384 ;;
  receiver_stream) max_len=2048 ;;
  *) max_len=8192 ;;
esac

status=0
# -timeout: any single input slower than this is a fault (a hang);
# -rss_limit_mb: so is one that needs more memory.
"$build/fuzz/fuzz_$target" "$work" "$seeds" \
  -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=1024 \
  -print_final_stats=1 -artifact_prefix="$artifacts/$target-" 2>"$log" || status=$?

runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo "?")
if [ "$status" -eq 0 ]; then
  echo "$target: $runs executions in ${seconds}s, coverage $coverage edges, no failure (log: $log)"
else
  echo "$target: FAILED after $runs executions; input saved under $artifacts/ (log: $log)" >&2
  grep -E 'ERROR|check failed|SUMMARY' "$log" | head -5 >&2 || true
fi

if [ "$merge" = "--merge" ]; then
  "$build/fuzz/fuzz_$target" -merge=1 "$seeds" "$work" -max_len="$max_len" 2>>"$log" >/dev/null
  echo "$target: merged new coverage into $seeds"
fi
exit "$status"
