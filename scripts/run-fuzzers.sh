#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang and runs them one after the
# other (one core) for SECONDS each, from their committed corpus.
#   bash scripts/run-fuzzers.sh [SECONDS]     (default 600)
# FUZZ_TARGETS picks targets (default "payload manifest"), FUZZ_BUILD_DIR the
# build folder (default build-fuzz). New inputs go to
# $FUZZ_BUILD_DIR/corpus/<target>, crashing ones to $FUZZ_BUILD_DIR/crashes/;
# fuzz/corpus/ is only read; to keep what added coverage:
#   $FUZZ_BUILD_DIR/fuzz_<target> -merge=1 fuzz/corpus/<target> $FUZZ_BUILD_DIR/corpus/<target>
# Fails if any target crashed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >/dev/null
seconds=${1:-600}
dir=${FUZZ_BUILD_DIR:-build-fuzz}
cmake -S fuzz -B "$dir" -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$dir" -j2 >/dev/null

failed=()
for target in ${FUZZ_TARGETS:-payload manifest}; do
  mkdir -p "$dir/corpus/$target" "$dir/crashes"
  dict=()
  [ -f "fuzz/$target.dict" ] && dict=("-dict=fuzz/$target.dict")
  log="$dir/fuzz_$target.log"
  echo "run-fuzzers: fuzz_$target for ${seconds}s (log: $log)"
  set +e
  "$dir/fuzz_$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 "${dict[@]}" \
    -artifact_prefix="$dir/crashes/$target-" "$dir/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1
  rc=$?
  set -e
  # libFuzzer's last status line holds cov:, ft: and corp:; the stats hold the totals.
  grep -E '^#[0-9]+\s' "$log" | tail -n1
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' "$log"
  echo "corpus files: $(find "$dir/corpus/$target" "fuzz/corpus/$target" -type f | wc -l)"
  if [ "$rc" -ne 0 ]; then
    failed+=("$target")
    grep -E 'ERROR|SUMMARY|Test unit written to' "$log" || tail -n 20 "$log"
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "run-fuzzers: crashes in: ${failed[*]}" >&2
  exit 1
fi
