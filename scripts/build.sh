#!/usr/bin/env bash
# Configures and builds Zentrix in build/ (the preset "standard": optimised, with debug information,
# warnings as errors). The compiler's output goes to build/build.log and is shown only when the build
# fails.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build
echo "Baue Zentrix in build/ ..."
if ! { cmake --preset standard && cmake --build --preset standard -j"$(nproc)"; } > build/build.log 2>&1; then
  tail -n 40 build/build.log
  echo "Der Bau ist fehlgeschlagen (ganzes Protokoll: build/build.log)." >&2
  exit 1
fi
