#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a normal build (and the Debian
# package made from it) and once with AddressSanitizer and UndefinedBehaviorSanitizer; then every
# fuzz target replayed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)

bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j "$jobs"
# The Debian package from that build, checked by lintian, unpacked and run.
bash scripts/package.sh build
bash tests/package_check.sh dist/tolvex_*.deb

bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DTOLVEX_SANITIZE=ON -DTOLVEX_BENCHMARKS=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

bash scripts/fuzz.sh --replay
