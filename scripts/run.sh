#!/usr/bin/env bash
# Installs what is missing, builds, and starts the desktop program. Arguments go to the program;
# without any, it runs on the PC's ports when an adapter answers there, else on the simulated
# monitor (--simulate).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display: start it from a desktop session, or try: xvfb-run bash scripts/run.sh" >&2
  exit 1
fi

if [ $# -gt 0 ]; then
  exec ./build/tolvex "$@"
elif ./build/tolvex-cli probe >/dev/null 2>&1; then
  exec ./build/tolvex
else
  echo "No I2C adapter reachable on this PC's ports: starting on the simulated monitor (--simulate)." >&2
  exec ./build/tolvex --simulate
fi
