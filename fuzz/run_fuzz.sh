#!/bin/sh
# Runs every image fuzz target for a bounded time (default 60 s each) from
# the starting inputs that make_corpus writes. Usage: run_fuzz.sh <build-dir> [seconds]
set -eu
build=${1:?build directory}
seconds=${2:-60}
bin="$build/bin"
[ -x "$bin/fuzz_image_object" ] || bin="$build/fuzz"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/fuzz_image_make_corpus" "$work/object" "$work/text"
"$bin/fuzz_image_object" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "$work/object"
"$bin/fuzz_image_text" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "$work/text"
# ELF: the example programs of the build, when binutils made them.
mkdir -p "$work/elf"
cp "$build"/examples/*.elf "$work/elf/" 2>/dev/null || true
"$bin/fuzz_image_elf" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "$work/elf"
