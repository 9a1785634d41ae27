#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tavelon in the current X11 session.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
  echo "Tavelon needs an X11 session: DISPLAY is not set. Run this from a terminal inside your desktop." >&2
  exit 1
fi
bash scripts/deps.sh
cmake --preset default
cmake --build --preset default --target tavelon
exec build/default/src/app/tavelon
