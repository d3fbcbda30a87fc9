#!/usr/bin/env bash
# tavc writes each command's output as it happens, also into a pipe or file:
# while a long pause runs after "eval 1", the 1 is already there. (The loop
# only bounds the wait; Ctrl-C then ends the pause and tavc.)
set -u
tavc=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/tav-flush.XXXXXX")
trap 'rm -rf "$work"' EXIT
printf 'eval 1\npause 600000\n' >"$work/cmds.in"
TAV_CONFIG_DIR="$work" "$tavc" -b -v -i "$work/cmds.in" </dev/null >"$work/out" 2>&1 &
pid=$!
seen=0
for _ in $(seq 600); do
  if grep -q '1 = 1' "$work/out"; then seen=1; break; fi
  sleep 0.05
done
kill -INT "$pid"
wait "$pid"
if [[ $seen -ne 1 ]]; then
  echo "the output of eval 1 did not arrive while tavc was still running:"
  cat "$work/out"
  exit 1
fi
