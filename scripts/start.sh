#!/usr/bin/env bash
# Builds the program and starts it. Until the main window exists this runs the command-line tool:
# it creates a new data set in a temporary folder and prints it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
work=$(mktemp -d)
build/bin/zvtool new "$work/NEW_0.zvt"
build/bin/zvtool dump "$work/NEW_0.zvt"
echo "zvtool wrote $work/NEW_0.zvt; run build/bin/zvtool --help for the other commands." >&2
