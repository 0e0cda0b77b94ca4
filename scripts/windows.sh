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
# A Wine prefix of this run's own, set up before the first test, with its server and Wine's
# services started here and kept running until the end: a new prefix's first start writes its
# creation and update to the standard error of whichever program comes first, and services that
# a program starts keep that program's standard output and error open and may write to them. So
# no run's record holds anything of Wine's own, and no service holds the output of this script.
WINEPREFIX="$(mktemp -d)"
export WINEPREFIX
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
wineserver -p </dev/null >/dev/null 2>&1
wine wineboot -i </dev/null >/dev/null 2>&1
ctest --preset windows -j"$(nproc)"
tests/ausgaben.sh build-windows/zentrix-cli.exe --wie build/zentrix-cli
(cd build-windows && cpack -G ZIP >/dev/null && unzip -l zentrix-cli-*-win64.zip)
