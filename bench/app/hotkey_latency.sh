#!/usr/bin/env bash
# Key press to the first frame on screen that shows the ring, against the
# floor of a plain Qt window shown on the same key in the same X server,
# without a compositor and with xcompmgr; and the agent's resident memory
# after start and after 20, 50 and 100 presses. Runs in a private X session:
#   tests/support/xsession.sh bench/app/hotkey_latency.sh $PWD/build/default [presses]
set -euo pipefail
# The agent it starts reads and writes a configuration: never the user's own.
[ -n "${VIMA_E2E_WORK:-}" ] || { echo "run it through tests/support/xsession.sh" >&2; exit 2; }
build=${1:?the build folder}
presses=${2:-100}
agent=$build/src/app/tavelon
probe=$build/bench/app/latency_probe
floor=$build/bench/app/floor_window
out=$HOME/latency
mkdir -p "$out"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done' EXIT

wait_for() { # file pattern
  for _ in $(seq 400); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.05; done
  echo "timed out waiting for '$2' in $1" >&2; return 1
}

# "first median max timeouts" of a probe's output; the median and maximum
# leave out the first press after start, which is reported on its own.
summarise() {
  awk '$1 == "press" && $3 == "timeout" { t++ }
       $1 == "press" && $3 != "timeout" { if ($2 == 1) first = $3; else print $3 > "/dev/stderr" }
       END { printf "%s %d\n", (first == "" ? "-" : first), t }' "$1" 2>"$1.ms" >"$1.first"
  sort -n "$1.ms" -o "$1.ms"
  local n median max
  n=$(wc -l <"$1.ms")
  median=$(awk -v n="$n" 'NR == int((n + 1) / 2)' "$1.ms")
  max=$(tail -n 1 "$1.ms")
  read -r first timeouts <"$1.first"
  echo "$first ${median:--} ${max:--} $timeouts"
}

run_floor() { # mode
  "$floor" >"$out/floor-$1.log" 2>&1 &
  local pid=$!
  pids+=("$pid")
  wait_for "$out/floor-$1.log" ready
  "$probe" --presses "$presses" >"$out/floor-$1.txt"
  kill "$pid"; wait "$pid" 2>/dev/null || true
}

run_agent() { # mode
  QT_LOGGING_RULES="com.vima.Vima.*.info=true;com.vima.Vima.Latency.debug=true" "$agent" >"$out/agent-$1.log" 2>&1 &
  local pid=$!
  pids+=("$pid")
  wait_for "$out/agent-$1.log" "Tavelon is running"
  sleep 1
  echo "rss 0 $(awk '/VmRSS/ {print $2}' /proc/$pid/status)" >"$out/agent-$1.txt"
  "$probe" --presses "$presses" --pid "$pid" --rss-at 20,50,100 >>"$out/agent-$1.txt"
  kill "$pid"; wait "$pid" 2>/dev/null || true
}

report() { # mode
  read -r ffirst fmedian fmax ftimeouts < <(summarise "$out/floor-$1.txt")
  read -r afirst amedian amax atimeouts < <(summarise "$out/agent-$1.txt")
  local ratio
  ratio=$(awk -v a="$amedian" -v f="$fmedian" 'BEGIN { if (f > 0) printf "%.2f", a / f; else print "-" }')
  echo "$1: ring median $amedian ms, max $amax ms, first press $afirst ms, timeouts $atimeouts;" \
       "floor median $fmedian ms, max $fmax ms; ring/floor $ratio"
  awk '$1 == "rss" { printf "%s  rss after %d presses: %.1f MB\n", m, $2, $3 / 1024 }' m="$1" "$out/agent-$1.txt"
}

# A first start writes the default configuration, so the measured runs are
# not first launches with the first-run window on screen.
"$agent" >"$out/first.log" 2>&1 &
first=$!
pids+=("$first")
for _ in $(seq 200); do [ -s "${XDG_CONFIG_HOME:-$HOME/.config}/Vima/config.json" ] && break; sleep 0.05; done; sleep 1
kill "$first"; wait "$first" 2>/dev/null || true

run_floor plain
run_agent plain
xcompmgr >"$out/xcompmgr.log" 2>&1 &
pids+=("$!")
sleep 1
run_floor xcompmgr
run_agent xcompmgr
report plain
report xcompmgr
