#!/usr/bin/env bash
# CPU share of the program while online: starts build/bin/zvcontrol with the built-in simulated
# unit in a virtual X display, waits until the link runs online, then measures the program's
# CPU time (user + system, from /proc) over a window of wall time. Prints one JSON object; the
# share must stay below 0.05 of one core.
# usage: bench/zvcontrol_cpu.sh [SECONDS]   (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
program=build/bin/zvcontrol
[[ -x $program ]] || { echo "bench: build $program first (scripts/build.sh)" >&2; exit 2; }
command -v xvfb-run >/dev/null || { echo "bench: xvfb-run missing (scripts/install-deps.sh)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

xvfb-run -a -s "-screen 0 1366x768x24" bash -c '
  set -euo pipefail
  program=$1 seconds=$2 log=$3
  "$program" --port sim 2>"$log" & pid=$!
  for _ in $(seq 1 300); do grep -q "status: Run Online" "$log" && break; sleep 0.1; done
  grep -q "status: Run Online" "$log" || { kill $pid; echo "bench: the program did not go online" >&2; exit 1; }
  sleep 1  # the first records settle
  ticks=$(getconf CLK_TCK)
  cpu() { awk "{ print \$14 + \$15 }" /proc/$pid/stat; }
  start_cpu=$(cpu); start=$(date +%s.%N)
  sleep "$seconds"
  end_cpu=$(cpu); end=$(date +%s.%N)
  online=$(tail -n 1 "$log")
  kill -TERM $pid; wait $pid || true
  awk -v c0="$start_cpu" -v c1="$end_cpu" -v t0="$start" -v t1="$end" -v hz="$ticks" -v last="$online" \
    "BEGIN { cpu = (c1 - c0) / hz; wall = t1 - t0; share = cpu / wall;
             printf \"{\\\"benchmark\\\": \\\"zvcontrol_online_cpu\\\", \\\"wall_s\\\": %.2f, \\\"cpu_s\\\": %.2f, \", wall, cpu;
             printf \"\\\"cpu_share_of_one_core\\\": %.4f, \\\"limit\\\": 0.05, \\\"within_limit\\\": %s, \", share, (share < 0.05) ? \"true\" : \"false\";
             printf \"\\\"last_status\\\": \\\"%s\\\"}\\n\", substr(last, 9) }"
' _ "$program" "$seconds" "$work/status.log"
