#!/usr/bin/env bash
# The bash completion offers tolvex-cli's commands, each command's own options and the values an
# option takes, as the program's help states them.
#   completion_test.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
source_dir=$1
build_dir=$2
framework=/usr/share/bash-completion/bash_completion
if [ ! -f "$framework" ]; then
  echo "bash-completion is not installed: skipped"
  exit 77
fi
source "$framework"
source "$source_dir/cli/completion/tolvex-cli"
compopt() { :; }  # only meaningful inside a real completion
PATH=$build_dir:$PATH

failures=0
expect() {
  local want=$1
  shift
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _tolvex_cli
  local got="${COMPREPLY[*]}"
  if [ "$got" != "$want" ]; then
    echo "completing '$*': expected '$want', got '$got'"
    failures=$((failures + 1))
  fi
}

expect "report read" tolvex-cli re
expect "--sim-state=" tolvex-cli read --sim-st
expect "--fix-checksum" tolvex-cli report --fix
expect "sda-low" tolvex-cli write --simulate --sim-fault sda
expect "service-kit s3" tolvex-cli probe --sim-adapter=s
expect "write" tolvex-cli help wr
expect "info install-firmware" tolvex-cli in
[ "$failures" -eq 0 ]
