#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz/) with clang, ASan and UBSan in build-fuzz/, then runs
# each for FUZZ_SECONDS (default 60) from the corpus kept in tests/fuzz/corpus/ plus seeds rendered
# from the sample EDIDs. Any finding stops the script with the failing input in build-fuzz/findings/.
# The kept corpus holds no sample data: it was grown from seeds made with TOLVEX_EDID_SAMPLES
# pointing nowhere and merged by edge coverage (TARGET -merge=1 -use_counters=0 KEPT RUN).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}

CC=clang CXX=clang++ bash scripts/build.sh build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVEX_FUZZ=ON \
  -DTOLVEX_GUI=OFF -DTOLVEX_TESTS=OFF -DTOLVEX_BENCHMARKS=OFF

# The run works on copies: the kept corpus changes only when someone merges findings into it.
work=build-fuzz/corpus
findings=build-fuzz/findings
rm -rf "$work" "$findings"
mkdir -p "$work" "$findings"
build-fuzz/fuzz_seeds "$work"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for target in build-fuzz/*_fuzz; do
  name=$(basename "$target")
  mkdir -p "$work/$name"
  if [ -d "tests/fuzz/corpus/$name" ]; then cp tests/fuzz/corpus/"$name"/* "$work/$name/"; fi
  log="build-fuzz/$name.log"
  echo "== $name: ${seconds} s"
  if ! "$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$findings/$name-" "$work/$name" >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "$name: a finding; the input is in $findings/, the whole log in $log" >&2
    exit 1
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
done
