#!/usr/bin/env bash
# Time from the hotkey reaching the agent to the ring's first painted frame,
# over 50 presses, and the agent's resident memory at rest. Runs the real
# agent in a private X session:
#   tests/support/xsession.sh bench/app/hotkey_latency.sh build/default/src/app/tavelon
set -euo pipefail
agent=${1:?path to the tavelon binary}
presses=${2:-50}
log="$HOME/latency.log"

QT_LOGGING_RULES="com.vima.Vima.Latency.debug=true;com.vima.Vima.*.info=true" \
QT_MESSAGE_PATTERN="%{message}" "$agent" >"$log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
for _ in $(seq 200); do grep -q "Tavelon is running" "$log" && break; sleep 0.05; done
sleep 1
rss_start=$(awk '/VmRSS/ {print $2}' /proc/$pid/status)

xdotool mousemove 500 400
for i in $(seq "$presses"); do
  painted=$(grep -c "ring painted" "$log" || true)
  xdotool keydown alt keydown space keyup space keyup alt
  for _ in $(seq 100); do [ "$(grep -c "ring painted" "$log")" -gt "$painted" ] && break; sleep 0.01; done
  sleep 0.3
  xdotool key Escape
  sleep 0.4
done
sleep 1
rss_rest=$(awk '/VmRSS/ {print $2}' /proc/$pid/status)

# Pair each "hotkey pressed" with the first "ring painted" after it.
awk '
  /hotkey pressed/ { start = $3; waiting = 1; next }
  /ring painted/ && waiting { printf "%.3f\n", ($3 - start) / 1000; waiting = 0 }
' "$log" | sort -n > "$HOME/latency.ms"
count=$(wc -l < "$HOME/latency.ms")
median=$(awk -v n="$count" 'NR == int((n + 1) / 2) { print }' "$HOME/latency.ms")
max=$(tail -n 1 "$HOME/latency.ms")
echo "presses: $count; hotkey to first frame: median ${median} ms, max ${max} ms"
echo "resident memory: ${rss_start} kB after start, ${rss_rest} kB at rest after the presses"
