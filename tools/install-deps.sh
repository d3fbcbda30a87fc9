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
  valgrind           # bench/callgrind_go.sh: instruction counts that a loaded machine does not disturb
)

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
