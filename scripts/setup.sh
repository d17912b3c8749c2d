#!/usr/bin/env bash
# Installs the Debian packages the build needs, but only those that are missing.
set -euo pipefail

# One package a line, so that additions do not collide.
packages=(
  cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev libgl-dev fonts-dejavu-core
  bash-completion
  sigrok-cli   # the tests decode the simulated bus's captures with its I2C decoder
  edid-decode  # the peer the conformance check is compared with (tests/check/agreement_test.cpp)
  clang libclang-rt-dev  # the fuzz targets: clang, libFuzzer and the sanitizers' runtimes
  xvfb openbox x11-utils  # a private X server and window manager for the tests in tests/wm
  desktop-file-utils appstream groff-base  # the install check validates the entry, metainfo and man pages
  nlohmann-json3-dev  # the JSON of tolvex-cli info --json
  libusb-1.0-0-dev pkgconf  # the CH341A USB programmer is driven through libusb, found with pkg-config
  dpkg-dev  # scripts/package.sh: dpkg-shlibdeps finds the package's dependencies
  lintian   # scripts/package.sh checks the package
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "These packages are missing; run this script as root to install them." >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
