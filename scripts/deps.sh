#!/usr/bin/env bash
# Installs whatever Tavelon needs to build, run and test that is not there yet,
# from the Debian bookworm archive (the release it is tested on; elsewhere a build
# needs CMake 3.25, Qt 6.4 and libcurl 7.87 or later, which configure checks).
# Run it as the desktop user: only the installation runs as root, through sudo
# (directly when already root, as in CI).
set -euo pipefail
# Under sudo, run.sh and test.sh would build as root in the user's tree and
# start Tavelon as root on the user's display.
if [ -n "${SUDO_USER:-}" ] && [ "$(id -u)" = 0 ]; then
  echo "Run this as yourself, without sudo: it asks for sudo only to install missing packages." >&2
  exit 1
fi

build=(cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev qtkeychain-qt6-dev qcoro-qt6-dev libbenchmark-dev
  libxcb1-dev libxcb-keysyms1-dev libxcb-xtest0-dev libxcb-xinput-dev libxcb-xkb-dev libxcb-res0-dev
  libxkbcommon-x11-dev libcurl4-openssl-dev zlib1g-dev)
run=(libsecret-1-0 gnome-keyring dbus-daemon xdg-utils fonts-dejavu-core fonts-noto-color-emoji ca-certificates)
test=(xvfb openbox xdotool xclip x11-utils x11-apps xterm xcompmgr libxcb-damage0-dev maim at-spi2-core zenity)

wanted=("${build[@]}" "${run[@]}")
[ "${1:-}" = "--test" ] && wanted+=("${test[@]}")

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -gt 0 ] || exit 0
echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" != 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "Installing packages needs root, and sudo is not installed. As root: apt-get install ${missing[*]}" >&2
    exit 1
  fi
  as_root=(sudo)
fi
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
