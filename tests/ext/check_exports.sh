#!/usr/bin/env bash
# The executable exports every function the public header declares for the
# host, and no other C name (C++ names the C++ runtime may interpose aside).
set -uo pipefail
tavc=$1 header=$2
declared=$(grep -o '^TAV_API [^(]*(' "$header" | sed 's/.*[ *]\([A-Za-z_][A-Za-z0-9_]*\)($/\1/' | sort)
# Copy-relocated C library data (stdout@GLIBC_...) is the library's, not ours.
exported=$(nm -D --defined-only "$tavc" | awk '$3 !~ /^_Z/ && $3 !~ /@/ && $3 !~ /^__(a|ub|l|t)san_|^__sanitizer/ {print $3}' | sort)
if [[ "$declared" != "$exported" ]]; then
  diff <(echo "$declared") <(echo "$exported")
  exit 1
fi
echo "$(echo "$declared" | wc -l) functions exported"
