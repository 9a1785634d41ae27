#!/usr/bin/env bash
# The agent with odd files in ~/.local/share/applications: how long until it
# runs; how long from the hotkey to the ring on screen right after each of two
# focus changes to a window whose class names no installed application, with
# an entry added before each change (the catalog must see news); whether it
# still runs and ends on TERM after them, and its peak resident memory.
# Bounded: 3 GB of address space, 90 s. Runs in a private X session:
#   tests/support/xsession.sh bench/app/odd_desktop_files.sh AGENT CASE [PROBE]
# CASE: none, zero (a link to /dev/zero), pipe (a link to a named pipe), both,
# many (10,000 ordinary entries), root (a link to / among the entries) or
# flood (100,000 ordinary entries). PROBE: the latency probe, by default the
# one beside the agent's build (bench/app/latency_probe); without it the ring
# is not timed.
set -uo pipefail
[ -n "${VIMA_E2E_WORK:-}" ] || { echo "run it through tests/support/xsession.sh" >&2; exit 2; }
agent=${1:?the agent}
case=${2:?the case}
probe=${3:-$(dirname "$agent")/../../bench/app/latency_probe}
apps=$XDG_DATA_HOME/applications
log=$HOME/agent.log

entries() { # count: ordinary entries, each with its own icon name
  awk -v dir="$apps" -v n="$1" 'BEGIN {
    for (i = 1; i <= n; i++) {
      f = dir "/org.example.App" i ".desktop"
      printf "[Desktop Entry]\nType=Application\nName=Application %d\nExec=app\nIcon=app-icon-%d\n", i, i > f
      close(f)
    } }'
}

# A first start writes the configuration, so that the measured start shows no
# first-run window; it runs before the odd files are there.
"$agent" >"$HOME/first.log" 2>&1 &
setup=$!
for _ in $(seq 200); do [ -s "${XDG_CONFIG_HOME:-$HOME/.config}/Vima/config.json" ] && break; sleep 0.05; done
sleep 1
kill "$setup"; wait "$setup" 2>/dev/null

mkdir -p "$apps"
case $case in
  zero | both) ln -s /dev/zero "$apps/zero.desktop" ;;&
  pipe | both) mkfifo "$HOME/pipe" && ln -s "$HOME/pipe" "$apps/pipe.desktop" ;;&
  many) entries 10000 ;;
  flood) entries 100000 ;;
  root) ln -s / "$apps/root" ;;
esac

window() { # class: the newest window of that class
  for _ in $(seq 100); do
    local w
    w=$(xdotool search --class "$1" 2>/dev/null | tail -1)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.05
  done
  return 1
}
xmessage -name first first & first=$!
w1=$(window Xmessage) && xdotool windowactivate "$w1"

start=$(date +%s%N)
( ulimit -v 3000000; exec /usr/bin/time -v -o "$HOME/time.txt" timeout -s KILL 90 "$agent" ) >"$log" 2>&1 &
runner=$!
running=never
for _ in $(seq 600); do
  grep -q "Tavelon is running" "$log" 2>/dev/null && { running="$(( ($(date +%s%N) - start) / 1000000 )) ms"; break; }
  kill -0 "$runner" 2>/dev/null || break
  sleep 0.05
done

xmessage -name second second & second=$!
sleep 0.5
w2=$(window Xmessage)
ring=""
for target in "$w2" "$w1"; do
  printf '[Desktop Entry]\nType=Application\nName=New %s\nExec=app\n' "$target" >"$apps/org.example.New$target.desktop"
  xdotool windowactivate "$target"
  if [ -x "$probe" ]; then
    ms=$("$probe" --presses 1 --timeout 30000 | awk '$1 == "press" { print $3 }')
    ring="$ring ${ms:-none} ms"
  fi
  sleep 1
done
# time -> timeout -> the agent
pid=$(pgrep -P "$(pgrep -P "$runner" | head -1)" | head -1)
alive=no
[ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && alive=yes
[ -n "$pid" ] && kill -TERM "$pid"
ended=yes
for _ in $(seq 20); do [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
[ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && { ended=no; kill -KILL "$pid"; }
wait "$runner" 2>/dev/null
kill "$first" "$second" 2>/dev/null
echo "$case: running after $running; hotkey to ring after each focus change:${ring:- not timed};" \
  "alive after the focus changes: $alive; ended on TERM: $ended;" \
  "peak resident $(awk -F': ' '/Maximum resident/ {print $2}' "$HOME/time.txt") KB"
