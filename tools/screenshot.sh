#!/usr/bin/env bash
# Writes a picture of the desktop host on the demo program, stopped in fib
# with the source, disassembly, memory, register, stack, locals and monitor
# views open, to the PNG file named by the first argument (default
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
monit g_rec, results[0], g_counter
x n
IN
mkdir -p "$work/config"
cat >"$work/config/ZUZU12Z.INI" <<'INI'
[LayOut]
Registers=YES
Command=YES
Stack=YES
Disassembly=YES
Locals=YES
Monitors=YES
INI
cd "$work"
TAV_CONFIG_DIR="$work/config" xvfb-run -a -s "-screen 0 1280x860x24" \
  "$build/bin/tav" -b -i shot.in --memory g_rec --screenshot "$out"
echo "wrote $out"
