#!/usr/bin/env bash
# Installs whatever Tavelon needs to build, run and test that is not there yet.
# Debian bookworm / Ubuntu 22.04 or later, as root.
set -euo pipefail

build=(cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-private-dev qt6-svg-dev qtkeychain-qt6-dev qcoro-qt6-dev libbenchmark-dev
  libxcb1-dev libxcb-keysyms1-dev libxcb-xtest0-dev libxcb-xinput-dev libxcb-xkb-dev libxcb-res0-dev
  libxkbcommon-x11-dev libcurl4-openssl-dev)
run=(libsecret-1-0 gnome-keyring dbus-daemon xdg-utils fonts-dejavu-core fonts-noto-color-emoji ca-certificates)
test=(xvfb openbox xdotool xclip x11-utils xcompmgr libxcb-damage0-dev maim at-spi2-core)

wanted=("${build[@]}" "${run[@]}")
[ "${1:-}" = "--test" ] && wanted+=("${test[@]}")

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
