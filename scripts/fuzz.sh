#!/usr/bin/env bash
# The libFuzzer targets (tests/fuzz/), built with clang, ASan and UBSan in build-fuzz/.
#
#   bash scripts/fuzz.sh           exploration: each target for FUZZ_SECONDS (default 600) from a
#                                  random seed; a finding stops the script with its input in
#                                  build-fuzz/findings/, to be added to tests/fuzz/corpus/TARGET/
#   bash scripts/fuzz.sh --replay  what the test command runs: every input of the kept corpus and
#                                  the seeds once, then a fixed number of mutations from a fixed
#                                  -seed, so that one commit always gets the same verdict
#
# The kept corpus holds no sample data: it was grown from seeds made with TOLVEX_EDID_SAMPLES
# pointing nowhere and merged by edge coverage (TARGET -merge=1 -use_counters=0 KEPT RUN).
set -euo pipefail
cd "$(dirname "$0")/.."
mode=explore
[ "${1:-}" = "--replay" ] && mode=replay

# Mutations per target in the replay, sized to some tens of seconds each on this project's
# 2-core machines; a target not listed gets the default.
declare -A replay_runs=(
  [report_reader_fuzz]=300000
  [cli_report_fuzz]=60000
  [render_roundtrip_fuzz]=100000
  [sim_monitor_fuzz]=200000
  [transfer_fault_fuzz]=400
)
default_runs=20000
replay_seed=20261209

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
  if [ "$mode" = replay ]; then
    runs=${replay_runs[$name]:-$default_runs}
    echo "== $name: the corpus, then $runs runs from seed $replay_seed"
    budget=(-runs="$runs" -seed="$replay_seed")
  else
    seconds=${FUZZ_SECONDS:-600}
    echo "== $name: ${seconds} s"
    budget=(-max_total_time="$seconds")
  fi
  if ! "$target" "${budget[@]}" -timeout=60 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$findings/$name-" "$work/$name" >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "$name: a finding; the input is in $findings/, the whole log in $log" >&2
    exit 1
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
done
