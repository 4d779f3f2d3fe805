#!/usr/bin/env bash
# Builds the program (only it: the tests are built by scripts/test.sh) and starts it with the
# built-in simulated unit chosen for this run, so that it goes online and shows live engine
# values. Without a display it runs the program in a
# virtual one (Xvfb) for 20 seconds, saves a screenshot of the online main window and prints
# its path. Arguments are passed on to zvcontrol (for example --lang de or a data file).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target zvcontrol

if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
  exec build/bin/zvcontrol --port sim "$@"
fi

shot=$PWD/build/zvcontrol-online.png
rm -f "$shot"
echo "No display found: running zvcontrol for 20 seconds in a virtual display (Xvfb)."
if [[ -z ${XDG_RUNTIME_DIR:-} ]]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR
fi
xvfb-run -a -s "-screen 0 1366x768x24" bash -c '
  build/bin/zvcontrol --port sim "${@:2}" & pid=$!
  sleep 18
  import -window root "$1"
  sleep 2
  kill -TERM "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  exit 0' _ "$shot" "$@"
[[ -s $shot ]] || { echo "start: no screenshot was taken" >&2; exit 1; }
echo "Screenshot of the online main window: $shot"
