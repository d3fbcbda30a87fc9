#!/bin/bash
# Host instructions (callgrind Ir) per round of the side-by-side programs
# (../shared/perf/programs) under "go", net of the empty program: a measure
# that stays stable on a loaded machine.
#   bench/callgrind_go.sh TAVC LABEL [none|dbreak|both]
# Small round counts: arith 50, crc16 60, bsort 2, calls 16. TAVC needs
# XGATEDLLS/XGATE.so beside it. Scratch files go to $WORK (default /tmp/tavcg).
TAVC=$1; LABEL=$2; KIND=${3:-none}
P=${PERF_PROGRAMS:-$(cd "$(dirname "$0")/../.." && pwd)/shared/perf/programs}
W=${WORK:-/tmp/tavcg}; mkdir -p "$W/cfg"
declare -A R=([arith]=50 [crc16]=60 [bsort]=2 [calls]=16 [empty]=0)
for n in arith crc16 bsort calls empty; do
  [ -f "$W/$n.s19" ] && continue
  m68hc11-as -m68hc12 -I "$P" --defsym ROUNDS=${R[$n]} -o "$W/$n.o" "$P/$n.s"
  m68hc11-ld -m m68hc12elf -T "$P/bench.ld" -o "$W/$n.elf" "$W/$n.o"
  m68hc11-objcopy -O srec --set-start 0x7FC000 "$W/$n.elf" "$W/$n.s19"
done
for n in empty arith crc16 bsort calls; do
  done_=$(m68hc11-nm "$W/$n.elf" | awk '$3=="done"{print $1}')
  setup=""
  [ "$KIND" != none ] && setup="dbreak /T:w /C:65535 *(int*)0x1020"
  if [ "$KIND" = both ]; then
    for i in 0 1 2 3 4 5 6 7 8 9; do setup="$setup
break @0x$(printf %06x $((0x7FD000 + 16 * i)))"; done
  fi
  printf "load %s\nmm 0x16 0xfd\n%s\nbreak @0x%06x\ngo\nquit\n" "$W/$n.s19" "$setup" $((0x7F0000 + 0x$done_)) > "$W/$n.$KIND.in"
  out="$W/$LABEL.$n.$KIND.cg"
  TAV_CONFIG_DIR="$W/cfg" valgrind --tool=callgrind --callgrind-out-file="$out" "$TAVC" -i "$W/$n.$KIND.in" >/dev/null 2>&1
  ir=$(awk '/^summary:/{print $2}' "$out")
  if [ $n = empty ]; then base=$ir; else
    echo "$LABEL $KIND $n: $(( (ir - base) / ${R[$n]} )) Ir per round"
  fi
done
