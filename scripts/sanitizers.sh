#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds every program and test with AddressSanitizer and UndefinedBehaviorSanitizer (the preset
# "asan", in build-asan/) and runs the whole suite, the window's tests offscreen included. A finding
# ends its test with a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh asan
ctest --preset asan -j"$(nproc)"
