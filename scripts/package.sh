#!/usr/bin/env bash
# Builds the Debian package dist/tolvex_VERSION_amd64.deb with CPack from a build tree (build/,
# or the one named), then has lintian look at it (errors fail the script).
#   bash scripts/package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
bash scripts/build.sh "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
rm -f dist/tolvex_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
package=$(ls dist/tolvex_*.deb)
lintian --fail-on error "$package"
echo "$package"
