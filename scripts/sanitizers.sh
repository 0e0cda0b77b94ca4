#!/usr/bin/env bash
# Builds every program and test with AddressSanitizer and UndefinedBehaviorSanitizer (the preset
# "asan", in build-asan/) and runs the whole suite, the window's tests offscreen included. A finding
# ends its test with a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
mkdir -p build-asan
echo "Baue Zentrix mit Sanitizern in build-asan/ ..."
if ! { cmake --preset asan && cmake --build --preset asan -j"$(nproc)"; } > build-asan/build.log 2>&1; then
  tail -n 40 build-asan/build.log
  echo "Der Bau mit Sanitizern ist fehlgeschlagen (ganzes Protokoll: build-asan/build.log)." >&2
  exit 1
fi
ctest --preset asan -j"$(nproc)"
