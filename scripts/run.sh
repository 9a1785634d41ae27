#!/usr/bin/env bash
# Installs what is missing, builds, installs Tavelon as a desktop application
# under ~/.local (program, desktop entry, icon) and starts it in the current X11
# session. Launch at Login then starts that installed copy. Run it as the desktop
# user: only the packages deps.sh installs ask for sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
  echo "Tavelon needs an X11 session: DISPLAY is not set. Run this from a terminal inside your desktop." >&2
  exit 1
fi
bash scripts/deps.sh
cmake --preset default
cmake --build --preset default --target tavelon
cmake --install build/default --prefix "$HOME/.local"
exec "$HOME/.local/bin/tavelon"
