#!/usr/bin/env bash
# The stand-ins' scripts expand their variables when they run.
# shellcheck disable=SC2016
# deps.sh's roads to the package manager, with stand-ins for dpkg-query,
# apt-get, sudo and id first on PATH: as the desktop user only apt-get runs as
# root, through sudo; as root (CI) it runs without sudo; nothing runs when
# nothing is missing; and under sudo the script refuses to start.
# Usage: check_deps.sh SOURCE_DIR
set -euo pipefail
deps="$1/scripts/deps.sh"
work=$(mktemp -d /tmp/vima-deps.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
stand_in() { printf '#!/usr/bin/env bash\n%s\n' "$2" >"$work/bin/$1"; chmod +x "$work/bin/$1"; }
stand_in id 'if [ "$1" = -u ]; then echo "$FAKE_UID"; else exec /usr/bin/id "$@"; fi'
stand_in sudo 'echo sudo >>"$CALLS"; FAKE_UID=0 exec "$@"'
stand_in dpkg-query 'for p in $MISSING; do [ "$p" = "${!#}" ] && exit 1; done; echo "install ok installed"'
stand_in apt-get 'echo "apt-get $(printf "%s\n" "$@" | grep -v "^-" | tr "\n" " ")as $FAKE_UID, $DEBIAN_FRONTEND" >>"$CALLS"'

failed=0
# name | uid | SUDO_USER | missing packages | exit status | calls, one a line
row() {
  : >"$work/calls"
  local status=0
  env -u DEBIAN_FRONTEND PATH="$work/bin:$PATH" CALLS="$work/calls" FAKE_UID="$2" SUDO_USER="$3" MISSING="$4" \
    bash "$deps" --test >"$work/out" 2>&1 || status=$?
  if [ "$status" != "$5" ] || [ "$(cat "$work/calls")" != "$6" ]; then
    echo "FAIL: $1: exit $status (expected $5), calls:" >&2
    cat "$work/calls" "$work/out" >&2
    failed=1
  fi
}
as_root_through_sudo='sudo
apt-get update as 0, noninteractive
sudo
apt-get install xdotool xclip as 0, noninteractive'
row "the desktop user, packages missing" 1000 "" "xclip xdotool" 0 "$as_root_through_sudo"
row "root, as in CI" 0 "" "xclip xdotool" 0 'apt-get update as 0, noninteractive
apt-get install xdotool xclip as 0, noninteractive'
row "nothing missing" 1000 "" "" 0 ""
row "started through sudo" 0 dev "xclip" 1 ""
exit $failed
