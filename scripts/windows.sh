#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows build, checked on Linux: installs the cross compiler and Wine where missing, builds
# the preset "windows" (zentrix-cli.exe and every test program without Qt, in build-windows/),
# runs its tests under Wine, compares the batch tool's outputs with the Linux build's (build/, made
# by scripts/build.sh first where missing) and packs the ZIP archive.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh --windows
[ -x build/zentrix-cli ] || ./scripts/build.sh
./scripts/build.sh windows
export WINEDEBUG=-all
ctest --preset windows -j"$(nproc)"
tests/ausgaben.sh build-windows/zentrix-cli.exe --wie build/zentrix-cli
(cd build-windows && cpack -G ZIP >/dev/null && unzip -l zentrix-cli-*-win64.zip)
