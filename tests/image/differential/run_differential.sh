#!/usr/bin/env bash
# Runs one command file over an example program twice, through its ".x12"
# file and through its ELF file with DWARF (<name>_dw.elf), and requires the
# same output. "PROGRAM" in the command file stands for the file loaded.
#   run_differential.sh <tavc> <examples-dir> <cases-dir> <case> <example>
set -uo pipefail
tavc=$1
examples=$2
cases=$(cd "$3" && pwd)
case=$4
example=$5

work=$(mktemp -d "${TMPDIR:-/tmp}/tav-differential.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/run"
cp "$examples/$example.x12" "$examples/${example}_dw.elf" "$work/run/" || exit 99
for file in "$example.x12" "${example}_dw.elf"; do
  sed "s/PROGRAM/$file/g" "$cases/$case.in" >"$work/run/$case.in"
  (cd "$work/run" && TAV_CONFIG_DIR="$work/config" timeout 60 "$tavc" -i "$case.in" </dev/null 2>&1 |
    sed "s/$file/PROGRAM/g") >"$work/$file.out"
done
diff -u --label "through $example.x12" --label "through ${example}_dw.elf" \
  "$work/$example.x12.out" "$work/${example}_dw.elf.out"
