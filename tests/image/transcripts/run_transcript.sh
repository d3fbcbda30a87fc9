#!/usr/bin/env bash
# Runs one image transcript through tavc in a scratch directory holding the
# built example programs, and compares the output with the expected one.
#   run_transcript.sh <tavc> <examples-dir> <cases-dir> <name>
# Case files: <name>.in (the command file), <name>.out (expected output),
# optional <name>.args (tavc's arguments; default "-i <name>.in") and
# <name>.ini (the configuration file), <name>.status (the exit status: 1
# when a command reports an error; default 0). UPDATE=1 rewrites <name>.out.
set -uo pipefail
tavc=$1
examples=$2
cases=$(cd "$3" && pwd)
name=$4

work=$(mktemp -d "${TMPDIR:-/tmp}/tav-image-transcript.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/run"
cp "$examples"/*.x12 "$examples"/*.s19 "$examples"/*.elf "$work/run/" || exit 99
cp "$cases/$name.in" "$work/run/"
[[ -f $cases/$name.ini ]] && cp "$cases/$name.ini" "$work/config/ZUZU12Z.INI"
args=(-i "$name.in")
[[ -f $cases/$name.args ]] && read -r -a args <"$cases/$name.args"

(cd "$work/run" && TAV_CONFIG_DIR="$work/config" "$tavc" "${args[@]}" </dev/null >"$work/out" 2>&1)
status=$?
if [[ ${UPDATE:-0} == 1 ]]; then
  cp "$work/out" "$cases/$name.out"
  echo "updated $name"
  exit 0
fi
expected_status=0
[[ -f $cases/$name.status ]] && expected_status=$(<"$cases/$name.status")
[[ $status -eq $expected_status ]] || echo "tavc exited with status $status, expected $expected_status"
diff -u --label "expected $name.out" --label "actual output" "$cases/$name.out" "$work/out" &&
  [[ $status -eq $expected_status ]]
