#!/usr/bin/env bash
# The manual page names every command and every option the program's help lists (its own and each
# command's), and formats without a warning.
#   manpage_test.sh MANPAGE PROGRAM
set -uo pipefail
page=$1
program=$2
failures=0

# roff writes a minus sign in an option as "\-".
describes() {
  local escaped=${1//-/\\\\-}
  grep -q -- "$escaped" "$page"
}

for option in $("$program" --help | grep -oE -- '(^| )--[a-z0-9-]+' | sort -u); do
  if ! describes "$option"; then
    echo "the manual page does not describe '$option'"
    failures=$((failures + 1))
  fi
done

commands=$("$program" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p')
for command in $commands; do
  if ! grep -q "^\.BI\? $command\b" "$page"; then
    echo "the manual page does not describe the command '$command'"
    failures=$((failures + 1))
  fi
  for option in $("$program" "$command" --help | grep -oE -- '--[a-z0-9-]+' | sort -u); do
    if ! describes "$option"; then
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
