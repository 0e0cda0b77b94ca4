#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and starts Zentrix. Without a display it says so and shows the
# start-up demonstration through the batch tool instead.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh"
"$here/scripts/build.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Kein Bildschirm gefunden (DISPLAY ist leer): zeige die Startrechnung mit zentrix-cli demo."
  exec "$here/build/zentrix-cli" demo
fi
exec "$here/build/Zentrix"
