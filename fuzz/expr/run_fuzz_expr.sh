#!/bin/sh
# Runs the expression fuzz targets for a bounded time (default 60 s each),
# starting from the checked-in example inputs. Usage: run_fuzz_expr.sh <build-dir> [seconds]
set -eu
build=${1:?build directory}
seconds=${2:-60}
here=$(dirname "$0")
bin="$build/bin"
[ -x "$bin/fuzz_expr_xexpr" ] || bin="$build/fuzz/expr"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$here/corpus_xexpr" "$work/xexpr"
cp -r "$here/corpus_cmd" "$work/cmd"
"$bin/fuzz_expr_xexpr" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "$work/xexpr"
"$bin/fuzz_expr_cmd" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "$work/cmd"
