#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds and runs the benchmarks for large files: the batch tool on a million observation lines
# (one-step, --iterativ, --json) and on 100 000 to 1 000 000 points (and the million with
# --iterativ and --json), each beside numpy.loadtxt on the same file as a whole python3 process
# (python3-numpy is installed for this only), with seconds, peak memory and their ratios; then
# the window on 100 000 points and on the million-line evaluation beside the batch tool; then the
# sphere search on simulated scans (accuracy at 1 and 3 mm noise; ten million points as PLY, LAS
# and text). The files go to a temporary folder.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh" python3-numpy
"$here/scripts/build.sh"
ordner="$(mktemp -d "${TMPDIR:-/tmp}/zentrix_bench.XXXXXX")"
trap 'rm -rf "$ordner"' EXIT
"$here/build/gross_bench" "$here/build/zentrix-cli" "$here/bench/numpy_loadtxt.py" "$ordner"
echo
"$here/build/fenster_bench" "$ordner" "$here/build/zentrix-cli" "$ordner/beob1000000.dat" 2>/dev/null
echo
"$here/build/scan_bench" "$here/build/zentrix-cli" "$here/bench/numpy_loadtxt.py"
