#!/usr/bin/env bash
# The agent with odd files in ~/.local/share/applications: how long until it
# runs, whether it still runs and ends on TERM after two focus changes to a
# window whose class names no installed application, and its peak resident
# memory. Bounded: 3 GB of address space, 25 s. Runs in a private X session:
#   tests/support/xsession.sh bench/app/odd_desktop_files.sh AGENT CASE
# CASE: none, zero (a link to /dev/zero), pipe (a link to a named pipe), both,
# or many (10,000 ordinary entries).
set -uo pipefail
[ -n "${VIMA_E2E_WORK:-}" ] || { echo "run it through tests/support/xsession.sh" >&2; exit 2; }
agent=${1:?the agent}
case=${2:?the case}
apps=$XDG_DATA_HOME/applications
mkdir -p "$apps"
case $case in
  zero | both) ln -s /dev/zero "$apps/zero.desktop" ;;&
  pipe | both) mkfifo "$HOME/pipe" && ln -s "$HOME/pipe" "$apps/pipe.desktop" ;;
  many) for i in $(seq 10000); do
      printf '[Desktop Entry]\nType=Application\nName=Application %s\nExec=app\nIcon=app-icon-%s\n' "$i" "$i" \
        >"$apps/org.example.App$i.desktop"
    done ;;
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

log=$HOME/agent.log
start=$(date +%s%N)
( ulimit -v 3000000; exec /usr/bin/time -v -o "$HOME/time.txt" timeout -s KILL 25 "$agent" ) >"$log" 2>&1 &
runner=$!
running=never
for _ in $(seq 200); do
  grep -q "Tavelon is running" "$log" 2>/dev/null && { running="$(( ($(date +%s%N) - start) / 1000000 )) ms"; break; }
  kill -0 "$runner" 2>/dev/null || break
  sleep 0.05
done

xmessage -name second second & second=$!
sleep 0.5
w2=$(window Xmessage) && xdotool windowactivate "$w2"
sleep 1
xdotool windowactivate "$w1"
sleep 2
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
echo "$case: running after $running; alive after the focus changes: $alive; ended on TERM: $ended;" \
  "peak resident $(awk -F': ' '/Maximum resident/ {print $2}' "$HOME/time.txt") KB"
