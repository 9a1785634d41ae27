#!/usr/bin/env bash
# Runs one command inside a private desktop: an Xvfb server on a free display,
# openbox (with no Alt+Space binding), a session bus and a temporary HOME.
# Usage: xsession.sh COMMAND [ARGS...]
set -euo pipefail

work=$(mktemp -d /tmp/vima-e2e.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cat > "$work/openbox.xml" <<'XML'
<openbox_config xmlns="http://openbox.org/3.4/rc"><keyboard></keyboard><mouse></mouse></openbox_config>
XML

# Up to 30 s each for the server and the window manager: with other tests'
# sessions starting beside this one on a small machine, seconds go by.
# openbox is ready once it announces what it supports (it names its check
# window before that, and xdotool needs the list). Under load, with many
# servers starting and stopping, the display Xvfb reports is sometimes
# unreachable although Xvfb runs: then the pair starts again.
wm_ready() { xprop -root _NET_SUPPORTED 2>/dev/null | grep -q '_NET_ACTIVE_WINDOW'; }
start_desktop() {
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb=$!
  pids+=("$xvfb")
  for _ in $(seq 600); do [ -s "$work/display" ] && break; sleep 0.05; done
  [ -s "$work/display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
  export DISPLAY=":$(head -n1 "$work/display")"
  openbox --config-file "$work/openbox.xml" >"$work/openbox.log" 2>&1 &
  openbox=$!
  pids+=("$openbox")
  for _ in $(seq 600); do
    wm_ready && return 0
    kill -0 "$openbox" 2>/dev/null || break
    sleep 0.05
  done
  echo "No window manager on $DISPLAY (Xvfb $(kill -0 "$xvfb" 2>/dev/null && echo running || echo gone)):" >&2
  cat "$work/xvfb.log" "$work/openbox.log" >&2
  return 1
}
for attempt in 1 2 3; do
  start_desktop && break
  [ "$attempt" = 3 ] && { echo "openbox did not start; going on without a window manager" >&2; break; }
  kill "$openbox" "$xvfb" 2>/dev/null || true
done

mkdir -p "$work/home"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
       XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb VIMA_E2E_WORK="$work"
dbus-run-session -- "$@"
