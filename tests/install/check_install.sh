#!/usr/bin/env bash
# Installs the build into a temporary prefix, as `cmake --install` does for a
# user, and checks that the desktop knows Tavelon from the XDG places.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
prefix=$(mktemp -d /tmp/vima-install.XXXXXX)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
entry="$prefix/share/applications/com.vima.Vima.desktop"
[ -f "$entry" ] || fail "no desktop entry named after the bundle identifier"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ "$exec_line" = "$prefix/bin/tavelon" ] || fail "Exec is '$exec_line', not the installed program"
[ -x "$prefix/bin/tavelon" ] || fail "the program is not installed"
grep -qx 'Type=Application' "$entry" || fail "not an application entry"
grep -qx 'Name=Tavelon' "$entry" || fail "the entry does not name Tavelon"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon '$icon' in the hicolor theme"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry"; fi
echo "installed: $entry"
