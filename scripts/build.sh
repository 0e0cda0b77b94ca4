#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds Zentrix with a preset of CMakePresets.json, by default "standard" (optimised,
# with debug information, warnings as errors) in build/; another preset NAME builds in build-NAME/.
# The compiler's output goes to build.log in that folder and is shown only when the build fails.
# Usage: scripts/build.sh [PRESET]
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-standard}"
ordner=build
[ "$preset" = standard ] || ordner="build-$preset"
mkdir -p "$ordner"
echo "Baue Zentrix ($preset) in $ordner/ ..."
if ! { cmake --preset "$preset" && cmake --build --preset "$preset" -j"$(nproc)"; } > "$ordner/build.log" 2>&1; then
  tail -n 40 "$ordner/build.log"
  echo "Der Bau ist fehlgeschlagen (ganzes Protokoll: $ordner/build.log)." >&2
  exit 1
fi
