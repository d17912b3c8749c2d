#!/usr/bin/env bash
# The manual page names every command and every option the program's help lists, and formats
# without a warning.
#   manpage_test.sh MANPAGE TOLVEX_CLI
set -uo pipefail
page=$1
program=$2
failures=0

commands=$("$program" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p')
for command in $commands; do
  # roff writes a minus sign in an option as "\-".
  if ! grep -q "^\.BI\? $command\b" "$page"; then
    echo "the manual page does not describe the command '$command'"
    failures=$((failures + 1))
  fi
  for option in $("$program" "$command" --help | grep -oE -- '--[a-z0-9-]+' | sort -u); do
    escaped=${option//-/\\\\-}
    if ! grep -q -- "$escaped" "$page"; then
      echo "the manual page does not describe '$option' of '$command'"
      failures=$((failures + 1))
    fi
  done
done

if command -v groff >/dev/null; then
  warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
  if [ -n "$warnings" ]; then
    echo "groff: $warnings"
    failures=$((failures + 1))
  fi
fi
[ "$failures" -eq 0 ]
