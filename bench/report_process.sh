#!/usr/bin/env bash
# `tolvex-cli report FILE`, `tolvex-cli info FILE` and `tolvex-cli info --json FILE` as whole
# processes, each against edid-decode on the same file: start-up, reading, decoding, rendering and
# writing, as a user or a script pays for it. Prints each command's median wall time, edid-decode's
# and their ratio (tolvex-cli / edid-decode; 1.0 or less is the goal). On a shared machine wall
# times wander; where valgrind is installed the ratio of the instructions each whole process
# executes (dynamic linking included) is printed as well, and that one does not.
#
#   bench/report_process.sh [FILE...]
#
# FILEs are raw binary EDID (edid-decode does not read .ddc reports); without any, a 4-block EDID
# put together from ../shared/edid-whole (a real 3-block EDID and the CTA-861 block of another)
# and five real monitor base blocks from ../shared/edid-samples. Needs hyperfine and edid-decode
# (Debian packages).
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${TOLVEX_CLI:-build/tolvex-cli}

for tool in hyperfine edid-decode python3; do
  command -v "$tool" >/dev/null || { echo "needs $tool: apt-get install hyperfine edid-decode python3" >&2; exit 1; }
done
[ -x "$cli" ] || { echo "build $cli first: cmake --build build --target tolvex-cli" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The first 3-block EDID of the folder, the CTA-861 block of the first 2-block one after it, byte
# 126 and the base checksum set for four blocks.
four_block_edid() {
  python3 - "$1" <<'PY'
import glob, sys
edids = [open(p, "rb").read() for p in sorted(glob.glob("../shared/edid-whole/*.bin"))]
three = next((e for e in edids if len(e) == 384), None)
two = next((e for e in edids if len(e) == 256 and e[128] == 2), None)
if three is None or two is None:
    sys.exit(1)
base = bytearray(three[:128])
base[126] = 3
base[127] = -sum(base[:127]) & 0xFF
open(sys.argv[1], "wb").write(bytes(base) + three[128:] + two[128:])
PY
}

files=("$@")
if [ ${#files[@]} -eq 0 ]; then
  if four_block_edid "$scratch/four-blocks.bin"; then files+=("$scratch/four-blocks.bin"); fi
  mapfile -t -O ${#files[@]} files < <(find ../shared/edid-samples -name '*.bin' 2>/dev/null | sort | awk 'NR % 100 == 1' | head -5)
  [ ${#files[@]} -gt 0 ] || { echo "no FILE given and no EDIDs in ../shared/edid-whole or ../shared/edid-samples" >&2; exit 1; }
fi

# Instructions executed by one whole run (callgrind), or nothing without valgrind.
instructions() {
  command -v valgrind >/dev/null || return 0
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null | awk '/Collected/ {print $4}'
}

printf '%-32s %-12s %14s %15s %7s %13s\n' file command "tolvex-cli ms" "edid-decode ms" ratio "instr. ratio"
for file in "${files[@]}"; do
  peer=$(instructions edid-decode "$file")
  for command in report info "info --json"; do
    # shellcheck disable=SC2086  # the command's words are meant to split
    hyperfine -N --style none --warmup 20 --runs 300 --export-json "$scratch/run.json" \
      "$cli $command $file" "edid-decode $file" >/dev/null 2>&1
    # shellcheck disable=SC2086
    python3 - "$scratch/run.json" "$(basename "$file")" "$command" "$(instructions "$cli" $command "$file")" "$peer" <<'PY'
import json, sys
tolvex, decode = (r["median"] * 1000 for r in json.load(open(sys.argv[1]))["results"])
counted = f"{int(sys.argv[4]) / int(sys.argv[5]):.2f}" if sys.argv[4] and sys.argv[5] else "-"
print(f"{sys.argv[2][:32]:<32} {sys.argv[3]:<12} {tolvex:14.2f} {decode:15.2f} {tolvex / decode:7.2f} {counted:>13}")
PY
  done
done
