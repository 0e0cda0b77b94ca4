#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Zentrix needs to build, test and show its window, if any is missing;
# packages given as arguments too (the benchmark's reference, the package tools, for instance).
# --windows adds what the Windows build and its tests under Wine need: the MinGW-w64 cross
# compiler, GoogleTest's sources, Wine.
#   scripts/setup.sh [--windows] [PAKET ...]
set -euo pipefail
extra=()
for a in "$@"; do
  if [ "$a" = --windows ]; then
    extra+=(g++-mingw-w64-x86-64-posix googletest wine wine64)
  else
    extra+=("$a")
  fi
done
packages=(build-essential cmake qt6-base-dev qt6-svg-dev qt6-translations-l10n nlohmann-json3-dev libcli11-dev
          libgtest-dev libboost-math-dev fonts-dejavu-core fonts-wine xvfb xauth appstream ${extra[@]+"${extra[@]}"})
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installiere: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
