#!/bin/sh
# Runs every fuzz target from its committed corpus (and, for the loaders, the
# inputs make_corpus writes). Two ways:
#   fuzz/run_all.sh <build-dir> runs <n>      each target for n inputs (CI)
#   fuzz/run_all.sh <build-dir> seconds <s>   each target for s seconds
# New inputs found stay in a scratch copy; to keep one, copy it into the
# target's corpus folder. Build the targets first, for example:
#   CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTAV_FUZZ=ON -DTAV_SANITIZE=ON -DTAV_BENCH=OFF
#   ninja -C build-fuzz fuzz_image_object fuzz_image_text fuzz_image_make_corpus \
#     fuzz_expr_xexpr fuzz_expr_cmd fuzz_load_run fuzz_commands fuzz_asm fuzz_image_elf fuzz_dap_protocol
set -eu
build=${1:?build directory}
kind=${2:-runs}
amount=${3:-500}
here=$(cd "$(dirname "$0")" && pwd)
case $kind in
  runs) limit="-runs=$amount" ;;
  seconds) limit="-max_total_time=$amount" ;;
  *) echo "usage: $0 <build-dir> runs|seconds <n>" >&2; exit 2 ;;
esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

find_target() {
  for dir in "$build/bin" "$build/fuzz" "$build/fuzz/expr" "$build/fuzz/kernel" "$build/fuzz/dap"; do
    [ -x "$dir/$1" ] && { echo "$dir/$1"; return; }
  done
  echo "missing fuzz target $1 in $build" >&2
  exit 1
}

run() {  # target corpus-folder...
  target=$(find_target "$1")
  shift
  mkdir -p "$work/$(basename "$target")"
  for corpus in "$@"; do cp -R "$corpus/." "$work/$(basename "$target")/"; done
  echo "== $(basename "$target") $limit"
  "$target" $limit -seed=1 -timeout=20 -rss_limit_mb=2048 -print_final_stats=0 "$work/$(basename "$target")" \
    2>"$work/log" || { tail -50 "$work/log" >&2; exit 1; }
}

"$(find_target fuzz_image_make_corpus)" "$work/made_object" "$work/made_text"
run fuzz_image_object "$work/made_object"
run fuzz_image_text "$work/made_text"
run fuzz_expr_xexpr "$here/expr/corpus_xexpr"
run fuzz_expr_cmd "$here/expr/corpus_cmd"
run fuzz_load_run "$here/kernel/corpus_load_run" "$work/made_object" "$work/made_text"
run fuzz_commands "$here/kernel/corpus_commands"
run fuzz_asm "$here/kernel/corpus_asm"
run fuzz_image_elf
run fuzz_dap_protocol "$here/dap/corpus"
echo "fuzzing: no findings"
