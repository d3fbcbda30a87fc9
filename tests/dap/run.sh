#!/bin/sh
# Runs the protocol tests: installs the client from the lock file when it is
# missing, then node's test runner on each *.test.mjs file (a test that hangs
# fails after a minute).
# Usage: run.sh <tav-dap> <examples output dir> <examples source dir>
set -e
cd "$(dirname "$0")"
if [ ! -d node_modules/@vscode/debugadapter-testsupport ]; then
  npm ci --no-audit --no-fund --loglevel=error
fi
export TAV_DAP="$1" TAV_EXAMPLES_OUT="$2" TAV_EXAMPLES_SRC="$3"
status=0
for file in ./*.test.mjs; do
  node --test --test-concurrency=1 --test-timeout=60000 "$file" || status=1
done
exit $status
