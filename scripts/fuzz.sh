#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build/fuzz and runs each on its corpus.
#   scripts/fuzz.sh [SECONDS]        each target for SECONDS (default 6)
#   scripts/fuzz.sh --runs N         each target for N inputs (the long run: --runs 10000000)
# New inputs that widen coverage go to build/fuzz/corpus/<target>, never into the committed
# corpus; a crash or hang stops the run and leaves its input as build/fuzz/<target>-crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."

limit=(-max_total_time="${1:-6}")
# libFuzzer's timeout counts wall time: on a busy machine a long run at low priority can be
# starved past 10 s on a harmless input, so the long run allows a minute.
timeout=10
if [[ "${1:-}" == "--runs" ]]; then limit=(-runs="$2"); timeout=60; fi

cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
  -DCMAKE_CXX_COMPILER=clang++ -DZV_FUZZ=ON >/dev/null
cmake --build build/fuzz

for target in fuzz_data_file fuzz_ini fuzz_ident fuzz_log fuzz_link_receive; do
  work=build/fuzz/corpus/$target
  mkdir -p "$work"
  seeds=fuzz/corpus/${target#fuzz_}
  echo "== $target =="
  start=$SECONDS
  log=build/fuzz/$target.log
  status=0
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    build/fuzz/bin/$target "${limit[@]}" -timeout="$timeout" -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="build/fuzz/$target-" "$work" "$seeds" >"$log" 2>&1 || status=$?
  grep -E "^stat::number_of_executed_units|^==[0-9]+==|^SUMMARY|(crash|timeout|leak|oom)-" "$log" || true
  echo "$target: $((SECONDS - start)) s, exit $status (log: $log)"
  if ((status != 0)); then exit "$status"; fi
done
