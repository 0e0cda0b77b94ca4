#!/usr/bin/env bash
# Builds and runs the benchmarks for large files: the batch tool on 100 000 to 1 000 000 points and
# a million observation lines beside numpy.loadtxt on the same files (python3-numpy is installed
# for this only), the window on 100 000 points, and the sphere search on simulated scans (accuracy
# at 1 and 3 mm noise; ten million points as PLY, LAS and text). The files go to a temporary folder.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh" python3-numpy
"$here/scripts/build.sh"
"$here/build/gross_bench" "$here/build/zentrix-cli" "$here/bench/numpy_loadtxt.py"
"$here/build/fenster_bench" 2>/dev/null
"$here/build/scan_bench" "$here/build/zentrix-cli" "$here/bench/numpy_loadtxt.py"
