#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the icon's PNG sizes from zentrix.svg (needs rsvg-convert from Debian's librsvg2-bin).
# The PNGs are kept in the repository: building and packaging need no renderer.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" zentrix.svg -o "zentrix-$size.png"
done
