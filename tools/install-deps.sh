#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tav need, and only
# those that are missing. The one list of them is here.
set -euo pipefail

packages=(
  cmake
  ninja-build
  g++
  make
  pkg-config
  libgtest-dev
  libbenchmark-dev
  libedit-dev
  nlohmann-json3-dev   # side files of the example toolchain (tools/mkx12)
  binutils-m68hc1x   # m68hc11-as, -objdump, -ld, -objcopy: the test oracle
  qt6-base-dev       # the desktop host tav (Qt 6 Widgets, QtTest)
  xvfb               # tools/screenshot.sh draws tav on a virtual display
  xauth              # needed by xvfb-run
  valgrind           # bench/callgrind_go.sh: instruction counts that a loaded machine does not disturb
)

# The debug adapter's protocol tests run a DAP client under node; a machine
# that has node and npm already (from any source) keeps them.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  packages+=(nodejs npm)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg -s "$p" 2>/dev/null | grep -q '^Status: install ok installed'; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Run as root to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
