#!/usr/bin/env bash
# Runs one extension case: a program folder is made in a temporary directory
# (a copy of tavc, its XGATE support library, extension folders filled as the
# case needs), tavc runs cases/<case>.in there, and what it printed on
# standard output and standard error is compared with cases/<case>.out and
# .err, the temporary directory written as "$DIR". With UPDATE=1 the expected
# files are rewritten.
set -uo pipefail
tavc=$1 bindir=$2 libs=$3 cases=$(cd "$4" && pwd) examples=$5 case=$6

dir=$(mktemp -d "${TMPDIR:-/tmp}/tav-ext.XXXXXX")
trap 'chmod -R u+rwX "$dir"; rm -rf "$dir"' EXIT
mkdir -p "$dir/prog/XGATEDLLS" "$dir/config" "$dir/run"
cp "$tavc" "$dir/prog/tavc"
cp "$bindir/XGATEDLLS/XGATE.so" "$dir/prog/XGATEDLLS/"
cp "$cases/$case.in" "$dir/run/"

case $case in
  loading)  # bad libraries beside good ones; one more directory on the extension path
    mkdir -p "$dir/prog/IOREGS" "$dir/prog/EXTENSIONS" "$dir/prog/AUTOLOAD" "$dir/extra"
    cp "$libs/bad_ext1.so" "$dir/prog/IOREGS/crash.so"
    cp "$libs/bad_ext2.so" "$dir/prog/IOREGS/nohelp.so"
    cp "$libs/bad_ext3.so" "$dir/prog/IOREGS/othertarget.so"
    cp "$libs/bad_ext4.so" "$dir/prog/AUTOLOAD/refuses.so"
    echo "not a library" >"$dir/prog/IOREGS/text.so"
    mkdir "$dir/prog/IOREGS/folder.so"
    touch "$dir/prog/IOREGS/.hidden.so" "$dir/prog/IOREGS/readme.txt"
    cp "$libs/probe_ext.so" "$dir/prog/EXTENSIONS/probe.so"
    cp "$bindir/EXTENSIONS/trace.so" "$dir/prog/AUTOLOAD/trace.so"
    cp "$libs/probe_ext.so" "$dir/extra/pathprobe.so"
    mkdir -p "$dir/later" && cp "$libs/probe_ext.so" "$dir/later/later.so"
    printf '[Options]\nExtenPath=%s/nowhere|%s/extra/\n' "$dir" "$dir" >"$dir/config/ZUZU12Z.INI"
    ;;
  probe)
    mkdir -p "$dir/prog/EXTENSIONS"
    cp "$libs/probe_ext.so" "$dir/prog/EXTENSIONS/probe.so"
    cp "$examples/demo.x12" "$cases/../../../examples/demo/main.c" "$dir/run/"
    ;;
  none) ;;
  crg|pit|flashctl|ports)  # a peripheral and the firmware-style program that drives it
    mkdir -p "$dir/prog/IOREGS"
    cp "$bindir/IOREGS/$case.so" "$dir/prog/IOREGS/"
    cp "$libs/../${case}"_*.s19 "$dir/run/"
    ;;
  sciterm)  # needs pseudo-terminals
    [[ -r /dev/ptmx && -w /dev/ptmx ]] || { echo "no pseudo-terminals here"; exit 77; }
    ;&
  sci|atd|ect|fw)  # the peripheral pack and a program that drives it
    mkdir -p "$dir/prog/IOREGS"
    cp "$bindir"/IOREGS/*.so "$dir/prog/IOREGS/"
    cp "$libs/../${case}"_prog.s19 "$libs/../fw_prog.s19" "$dir/run/" 2>/dev/null
    for extra in "$cases/$case".*.csv; do [[ -f $extra ]] && cp "$extra" "$dir/run/"; done
    ;;
  trace)
    mkdir -p "$dir/prog/EXTENSIONS"
    cp "$bindir/EXTENSIONS/trace.so" "$dir/prog/EXTENSIONS/"
    cp "$examples/demo.x12" "$dir/run/"
    ;;
esac

cd "$dir/run"
TAV_CONFIG_DIR="$dir/config" "$dir/prog/tavc" -i "$case.in" </dev/null >stdout.txt 2>stderr.txt
status=$?
sed -i "s|$dir|\$DIR|g" stdout.txt stderr.txt
sed -i -E 's|/dev/pts/[0-9]+|/dev/pts/N|g' stdout.txt stderr.txt

fail=0
expected_status=0
[[ -f $cases/$case.status ]] && expected_status=$(<"$cases/$case.status")
if [[ -n ${UPDATE:-} ]]; then
  if [[ $status -ne 0 ]]; then echo "$status" >"$cases/$case.status"; else rm -f "$cases/$case.status"; fi
elif [[ $status -ne $expected_status ]]; then
  echo "tavc ended with status $status, expected $expected_status"
  fail=1
fi
if [[ $case == trace ]]; then
  # The trace file against tavc's own instruction trace of the same run:
  # per instruction the same cycles and text; the trace's address of the
  # next instruction is where tigo says the PC went.
  awk '/Cycles: / { c = $0; sub(/.*Cycles: /, "", c); cyc = c + 0; sub(/^[0-9]+ +/, "", c);
                    pc = $0; sub(/.* pc:/, "", pc); sub(/ .*/, "", pc);
                    print cyc " " c; print "pc " pc > "tigo_pcs.txt" }' stdout.txt >tigo.txt
  awk '{ cyc = $1 + 0; pc = $2; t = $0; sub(/^ *[0-9]+ [0-9a-f]+ /, "", t);
         print cyc " " t; if (NR > 1) print "pc " pc > "trace_pcs.txt" }' t.txt >trace.txt
  head -n -1 tigo_pcs.txt >tigo_pcs_cut.txt
  if ! diff tigo.txt trace.txt || ! diff tigo_pcs_cut.txt trace_pcs.txt; then
    echo "the trace differs from tigo"
    fail=1
  fi
  [[ -s trace.txt ]] || { echo "empty trace"; fail=1; }
fi
for stream in out err; do
  actual=$([[ $stream == out ]] && echo stdout.txt || echo stderr.txt)
  expected="$cases/$case.$stream"
  if [[ -n ${UPDATE:-} ]]; then
    if [[ -s $actual || $stream == out ]]; then cp "$actual" "$expected"; else rm -f "$expected"; fi
  elif [[ -f $expected ]]; then
    diff -u "$expected" "$actual" || fail=1
  elif [[ -s $actual ]]; then
    echo "unexpected standard error:"; cat "$actual"; fail=1
  fi
done
exit $fail
