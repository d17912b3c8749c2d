#!/usr/bin/env bash
# The Debian package holds what an installation needs and its programs run from it:
#   package_check.sh DEB
set -euo pipefail
package=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$package" "$scratch"
failures=0
for path in usr/bin/tolvex usr/bin/tolvex-cli \
    usr/share/man/man1/tolvex.1.gz usr/share/man/man1/tolvex-cli.1.gz \
    usr/share/bash-completion/completions/tolvex-cli \
    usr/share/applications/tolvex.desktop usr/share/icons/hicolor/scalable/apps/tolvex.svg \
    usr/share/icons/hicolor/64x64/apps/tolvex.png usr/share/metainfo/com.marvane.tolvex.metainfo.xml \
    usr/share/mime/packages/tolvex.xml usr/lib/udev/rules.d/60-tolvex.rules \
    usr/share/doc/tolvex/copyright usr/share/doc/tolvex/changelog.gz \
    usr/share/polkit-1/actions/com.marvane.tolvex.apply.policy; do
  if [ ! -e "$scratch/$path" ]; then
    echo "the package lacks $path"
    failures=$((failures + 1))
  fi
done
# pkexec finds the action by the path of the program it runs: the packaged tolvex-cli.
policy=$scratch/usr/share/polkit-1/actions/com.marvane.tolvex.apply.policy
if ! grep -q '<annotate key="org.freedesktop.policykit.exec.path">/usr/bin/tolvex-cli</annotate>' "$policy" 2>/dev/null; then
  echo "the polkit action does not name /usr/bin/tolvex-cli"
  failures=$((failures + 1))
fi
# The runtime libraries come from the programs' links, not from a list kept by hand.
depends=$(dpkg-deb -f "$package" Depends)
for library in libqt6widgets6 libstdc++6; do
  if ! grep -q "$library" <<<"$depends"; then
    echo "Depends lacks $library: $depends"
    failures=$((failures + 1))
  fi
done
version=$("$scratch/usr/bin/tolvex-cli" --version)
if [ "$version" != "tolvex-cli (Tolvex) $(dpkg-deb -f "$package" Version)" ]; then
  echo "the packaged tolvex-cli says: $version"
  failures=$((failures + 1))
fi
echo "$package: $version; Depends: $depends"
[ "$failures" -eq 0 ]
