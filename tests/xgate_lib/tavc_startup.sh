#!/usr/bin/env bash
# tavc and its XGATE support library: a copy of tavc in a folder without
# XGATEDLLS/XGATE.so, or with a library that lacks an entry point, shows the
# error and ends with 2000 (status 208) before it reads any command; with the
# project's library beside it, it starts and takes commands.
#   tavc_startup.sh TAVC INCOMPLETE_LIBRARY PROJECT_LIBRARY
set -u

tavc=$1
incomplete=$2
library=$3

work=$(mktemp -d "${TMPDIR:-/tmp}/tav-xgate-start.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config"
cp "$tavc" "$work/tavc"

fail=0
# start NAME EXPECTED_STATUS EXPECTED_STDERR EXPECTED_STDOUT
start() {
  (cd "$work" && echo 'mess "started"' | TAV_CONFIG_DIR="$work/config" ./tavc >"$work/out" 2>"$work/err")
  local status=$?
  if [[ $status -ne $2 ]]; then
    echo "$1: status $status, expected $2"
    fail=1
  fi
  if [[ "$(cat "$work/err")" != "$3" ]]; then
    echo "$1: standard error was [$(cat "$work/err")], expected [$3]"
    fail=1
  fi
  if [[ "$(cat "$work/out")" != "$4" ]]; then
    echo "$1: standard output was [$(cat "$work/out")], expected [$4]"
    fail=1
  fi
}

start "no library" 208 "Error: !PANIC MISSING XGATE LIB " ""

mkdir "$work/XGATEDLLS"
cp "$incomplete" "$work/XGATEDLLS/XGATE.so"
start "obsolete library" 208 'Error: OBSOLETE XGATEDLLS\XGATE.DLL ' ""

cp "$library" "$work/XGATEDLLS/XGATE.so"
start "project library" 0 "" "started"

exit $fail
