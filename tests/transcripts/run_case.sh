#!/usr/bin/env bash
# Runs one transcript case through tavc and compares what it printed with the
# expected transcript. A case is a set of files in cases/:
#   <name>.in      the command file (tavc -i <name>.in, standard input empty)
#   <name>.args    optional: tavc's arguments instead of "-i <name>.in"
#   <name>.stdin   optional: fed to standard input instead of nothing
#   <name>.ini     optional: becomes ZUZU12Z.INI in a fresh configuration directory
#   <name>.files/  optional: copied into the working directory first
#   <name>.examples optional marker: the built example programs (<name>.x12)
#                  are copied into the working directory first; each line
#                  of it names an example source file (examples/<line>) to copy too
#   <name>.out     expected standard output
#   <name>.err     expected standard error (missing: must be empty)
#   <name>.status  expected exit status (missing: 0; 1 when a command reported an error)
# With UPDATE=1 the expected files are rewritten from what tavc printed.
set -uo pipefail

tavc=$1
cases=$(cd "$2" && pwd)
name=$3
examples=${4:-}

work=$(mktemp -d "${TMPDIR:-/tmp}/tav-transcript.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/run"

[[ -f $cases/$name.in ]] && cp "$cases/$name.in" "$work/run/"
[[ -d $cases/$name.files ]] && cp -R "$cases/$name.files/." "$work/run/"
if [[ -f $cases/$name.examples && -n $examples ]]; then
  cp "$examples"/*.x12 "$work/run/" 2>/dev/null
  sources=$(cd "$(dirname "$0")/../../examples" && pwd)
  while read -r source; do
    [[ -n $source ]] && cp "$sources/$source" "$work/run/"
  done <"$cases/$name.examples"
fi
[[ -f $cases/$name.ini ]] && cp "$cases/$name.ini" "$work/config/ZUZU12Z.INI"

args=(-i "$name.in")
if [[ -f $cases/$name.args ]]; then
  read -r -a args <"$cases/$name.args"
fi
stdin=/dev/null
[[ -f $cases/$name.stdin ]] && stdin=$cases/$name.stdin

(
  cd "$work/run" || exit 99
  TAV_CONFIG_DIR="$work/config" "$tavc" "${args[@]}" <"$stdin" >"$work/out" 2>"$work/err"
)
status=$?

if [[ ${UPDATE:-0} == 1 ]]; then
  cp "$work/out" "$cases/$name.out"
  if [[ $status -ne 0 ]]; then echo "$status" >"$cases/$name.status"; else rm -f "$cases/$name.status"; fi
  if [[ -s $work/err ]]; then cp "$work/err" "$cases/$name.err"; else rm -f "$cases/$name.err"; fi
  echo "updated $name"
  exit 0
fi

fail=0
expected_status=0
[[ -f $cases/$name.status ]] && expected_status=$(<"$cases/$name.status")
if [[ $status -ne $expected_status ]]; then
  echo "tavc exited with status $status, expected $expected_status"
  fail=1
fi
if ! diff -u --label "expected $name.out" --label "actual stdout" "$cases/$name.out" "$work/out"; then
  fail=1
fi
expected_err=/dev/null
[[ -f $cases/$name.err ]] && expected_err=$cases/$name.err
if ! diff -u --label "expected $name.err" --label "actual stderr" "$expected_err" "$work/err"; then
  fail=1
fi
exit $fail
