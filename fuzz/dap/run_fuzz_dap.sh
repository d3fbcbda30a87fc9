#!/bin/sh
# Runs the debug adapter fuzz target for a bounded time (default 60 s) from
# the checked-in inputs. Usage: run_fuzz_dap.sh <build-dir> [seconds]
set -eu
build=${1:?build directory}
seconds=${2:-60}
here=$(dirname "$0")
bin="$build/bin"
[ -x "$bin/fuzz_dap_protocol" ] || bin="$build/fuzz/dap"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$here/corpus" "$work/corpus"
"$bin/fuzz_dap_protocol" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "$work/corpus"
