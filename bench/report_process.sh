#!/usr/bin/env bash
# `tolvex-cli report FILE` as a whole process, against edid-decode on the same file: start-up,
# reading, rendering and writing, as a user or a script pays for it. Prints each program's median
# wall time and their ratio (tolvex-cli / edid-decode; 1.0 or less is the goal). On a shared
# machine wall times wander; where valgrind is installed the ratio of the instructions each whole
# process executes (dynamic linking included) is printed as well, and that one does not.
#
#   bench/report_process.sh [FILE...]
#
# FILEs are raw binary EDID (edid-decode does not read .ddc reports); without any, five real
# monitor EDIDs from ../shared/edid-samples. Needs hyperfine and edid-decode (Debian packages).
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${TOLVEX_CLI:-build/tolvex-cli}

for tool in hyperfine edid-decode python3; do
  command -v "$tool" >/dev/null || { echo "needs $tool: apt-get install hyperfine edid-decode python3" >&2; exit 1; }
done
[ -x "$cli" ] || { echo "build $cli first: cmake --build build --target tolvex-cli" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

files=("$@")
if [ ${#files[@]} -eq 0 ]; then
  mapfile -t files < <(find ../shared/edid-samples -name '*.bin' 2>/dev/null | sort | awk 'NR % 100 == 1' | head -5)
  [ ${#files[@]} -gt 0 ] || { echo "no FILE given and no samples in ../shared/edid-samples" >&2; exit 1; }
fi

# Instructions executed by one whole run (callgrind), or nothing without valgrind.
instructions() {
  command -v valgrind >/dev/null || return 0
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null | awk '/Collected/ {print $4}'
}

printf '%-40s %14s %15s %7s %13s\n' file "tolvex-cli ms" "edid-decode ms" ratio "instr. ratio"
for file in "${files[@]}"; do
  hyperfine -N --style none --warmup 20 --runs 300 --export-json "$scratch/run.json" \
    "$cli report $file" "edid-decode $file" >/dev/null 2>&1
  python3 - "$scratch/run.json" "$(basename "$file")" "$(instructions "$cli" report "$file")" \
    "$(instructions edid-decode "$file")" <<'PY'
import json, sys
tolvex, decode = (r["median"] * 1000 for r in json.load(open(sys.argv[1]))["results"])
counted = f"{int(sys.argv[3]) / int(sys.argv[4]):.2f}" if sys.argv[3] and sys.argv[4] else "-"
print(f"{sys.argv[2][:40]:<40} {tolvex:14.2f} {decode:15.2f} {tolvex / decode:7.2f} {counted:>13}")
PY
done
