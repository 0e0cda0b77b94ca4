#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package of a build as lintian judges it: no error and no warning, except those the
# package overrides with its reasons (packaging/lintian-overrides). Skipped (77) where lintian or
# the package tools are not installed.
#   tests/lintian.sh BAUORDNER
set -euo pipefail
bau="$(cd "$1" && pwd)"
for p in lintian dpkg-shlibdeps; do
  command -v "$p" >/dev/null || { echo "$p fehlt: Paketprüfung übersprungen."; exit 77; }
done
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
(cd "$bau" && cpack -G DEB -B "$tmp" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log"; exit 1; }
deb="$(ls "$tmp"/*.deb)"
lintian --fail-on error,warning --display-level '>=warning' --show-overrides "$deb"
