#!/usr/bin/env bash
# Writes a picture of the desktop host on the demo program, stopped at a
# breakpoint in fib, to the PNG file named by the first argument (default
# tav-demo.png). Runs under Xvfb, so it needs no display of its own.
#   tools/screenshot.sh [out.png] [build-dir]
set -euo pipefail
out=$(realpath -m "${1:-tav-demo.png}")
build=$(realpath "${2:-build}")
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tav-shot.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$build/examples/demo.x12" "$here"/examples/demo/*.c "$here"/examples/demo/*.h "$work/"
cat >"$work/shot.in" <<'IN'
load demo.x12
break fib
go
step
x n
stack
IN
mkdir -p "$work/config"
cd "$work"
TAV_CONFIG_DIR="$work/config" xvfb-run -a -s "-screen 0 1280x860x24" \
  "$build/bin/tav" -b -i shot.in --screenshot "$out"
echo "wrote $out"
