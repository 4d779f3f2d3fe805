#!/usr/bin/env bash
# Builds the program and starts it. Until the main window exists this runs the command-line tool:
# it creates a new data set, writes it into the built-in simulated unit and shows the unit's live
# engine values for ten seconds at true speed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
work=$(mktemp -d)
build/bin/zvtool new "$work/NEW_0.zvt"
echo "New data set: $work/NEW_0.zvt (build/bin/zvtool dump prints it)"
build/bin/zvtool download --port sim "$work/NEW_0.zvt" --sim-save "$work/unit.zvt"
build/bin/zvtool watch --port sim --sim-data "$work/unit.zvt" --seconds 10 --realtime
echo "Run build/bin/zvtool --help for the other commands." >&2
