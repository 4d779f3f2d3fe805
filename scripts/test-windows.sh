#!/usr/bin/env bash
# Tries the Windows build under Wine, as a Windows user would meet it: the installer installs
# silently, the installed programs read and write data files as the Linux build does, the
# program goes online with its simulated unit and through COM5, which Wine maps to a
# pseudo-terminal served by zvsim, and keeps its settings in the registry.
# Needs the Linux build (build/bin) and the Windows package (scripts/build-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^project(ZevrinPlusControl VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
setup=$PWD/build/windows/zvcontrol-$version-setup.exe
[[ -f $setup ]] || { echo "test-windows: $setup is missing: run scripts/build-windows.sh" >&2; exit 2; }
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# An English Windows, whatever this machine's locale: the program starts in the user's language
# the first time, and the keys below open English menus.
export LC_ALL=C.UTF-8
out=$PWD/build/windows/test
rm -rf "$out"; mkdir -p "$out"
passed=0 failed=0
check() {  # check NAME COMMAND...: one line per check, counted for the closing line
  local name=$1 rc; shift
  # In a subshell of its own, so that the first failing step ends the check, not the run.
  set +e
  (set -e; "$@") >"$work/check.log" 2>&1
  rc=$?
  set -e
  if ((rc == 0)); then
    passed=$((passed + 1)); echo "ok   $name"
    grep '^note:' "$work/check.log" | sed 's/^/     /' || true
  else
    failed=$((failed + 1)); echo "FAIL $name"; sed 's/^/     /' "$work/check.log" | tail -20
  fi
}
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  # zvsim saves its memory as it ends: the folder goes only after that.
  [[ -n ${zvsim_pid:-} ]] && { kill "$zvsim_pid" 2>/dev/null; wait "$zvsim_pid" 2>/dev/null; } || true
  [[ -n ${xvfb_pid:-} ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$wine" wineboot --init >/dev/null 2>&1
# One virtual display for every window of the run.
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1366x768x24 >/dev/null 2>&1 & xvfb_pid=$!
export DISPLAY=$display
sleep 1

install() {
  "$wine" "$setup" /S
  "$wineserver" -w
  [[ -f $WINEPREFIX/drive_c/Program\ Files/Zevrin\ plus\ Control/bin/zvcontrol.exe ]]
}
check "the installer installs silently" install
bin="$WINEPREFIX/drive_c/Program Files/Zevrin plus Control/bin"
zvtool_win() { "$wine" "$bin/zvtool.exe" "$@"; }

data_files() {
  build/bin/zvtool new "$WINEPREFIX/drive_c/made-on-linux.zvt"
  zvtool_win dump 'C:\made-on-linux.zvt' | tr -d '\r' >"$work/windows.json"
  build/bin/zvtool dump "$WINEPREFIX/drive_c/made-on-linux.zvt" >"$work/linux.json"
  diff "$work/linux.json" "$work/windows.json"
  zvtool_win save 'C:\made-on-linux.zvt' 'C:\saved-on-windows.zvt'
  build/bin/zvtool save "$WINEPREFIX/drive_c/made-on-linux.zvt" "$work/saved-on-linux.zvt"
  cmp "$work/saved-on-linux.zvt" "$WINEPREFIX/drive_c/saved-on-windows.zvt"
  zvtool_win new 'C:\new.zvt'
  build/bin/zvtool dump "$WINEPREFIX/drive_c/new.zvt" >/dev/null
}
check "zvtool.exe writes and reads data files as the Linux build does" data_files

# stderr of a program run in the background, watched for a status line.
wait_for_line() {  # FILE PATTERN SECONDS
  local i
  for ((i = 0; i < $3 * 10; i++)); do
    grep -q "$2" "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "no line '$2' within $3 s in $1:"; cat "$1"; return 1
}

wait_for_file() {  # FILE SECONDS
  local i
  for ((i = 0; i < $2 * 10; i++)); do
    [[ -s $1 ]] && return 0
    sleep 0.1
  done
  echo "no file $1 within $2 s"; return 1
}

program_online() {  # PORT SHOT
  "$wine" "$bin/zvcontrol.exe" --lang "$3" --port "$1" 2>"$work/zvcontrol.err" & local pid=$!
  wait_online "$work/zvcontrol.err" 60
  sleep 3
  import -window root "$out/$2"
  close_program "$pid"
}
# Waits until the program runs online. Through COM5 the pseudo-terminal can still hold the end of
# the previous program's last live record, and Wine's serial driver is slower than Windows' own:
# a first connection may then time out and the program goes offline. The operator presses F5
# again, as here, once; the run says so.
wait_online() {  # ERRFILE SECONDS
  wait_for_line "$1" "status: Run Online\|status: Upload .*timeout" "$2"
  if ! grep -q "status: Run Online" "$1"; then
    echo "note: the first connection ended in '$(grep -o "Upload .*timeout" "$1" | head -1)'; F5 again" >&2
    wait_for_line "$1" "status: Offline" 10
    focus_main_window
    xdotool key F5
    wait_for_line "$1" "status: Run Online" "$2"
  fi
}
# Keys go to the program's main window: Enter puts the page list away (the fuel map is on view)
# and Page Up raises the selected cell, the lowest throttle and speed site, by 15.
focus_main_window() {  # once it is on screen; Wine maps it a moment after naming it
  # A search can stop with an X error (BadWindow) when one of Wine's windows goes away while it
  # walks the window tree; it is asked again until the window has focus.
  local window i
  for ((i = 0; i < 120; i++)); do
    window=$(timeout 5 xdotool search --onlyvisible --name "Zevrin-Control" 2>/dev/null | head -1) || true
    [[ -n $window ]] && timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null && break
    sleep 0.5
  done
  sleep 1
}
raise_first_cell() {
  focus_main_window
  xdotool key Return; sleep 0.5
  xdotool key Prior; sleep 2
}
first_cell() {  # FILE: the map's cell at the lowest throttle and speed site
  build/bin/zvtool dump "$1" | python3 -c 'import json, sys; print(json.load(sys.stdin)["map"][0][0])'
}
close_program() {  # PID: as the window's close button does (taskkill sends WM_CLOSE)
  local i
  "$wine" taskkill /im zvcontrol.exe >/dev/null
  for ((i = 0; i < 150; i++)); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$1" 2>/dev/null; then
    import -window root "$out/did-not-close.png"
    echo "the program did not close (see did-not-close.png)"
    "$wineserver" -k || true
    return 1
  fi
  # Wine's own helpers (the desktop, services) stay behind; the next start begins afresh.
  "$wineserver" -k || true
}

check "zvcontrol.exe goes online with the simulated unit (English)" program_online sim online-sim-en.png en
check "zvcontrol.exe goes online with the simulated unit (German)" program_online sim online-sim-de.png de

settings_in_registry() {
  "$wine" reg query 'HKCU\Software\Brenvik-dudizedode\Zevrin plus Control\Settings\Options' /s |
    tr -d '\r' | tee "$work/reg.txt"
  grep -qi "Language" "$work/reg.txt"
}
check "the settings are in the registry" settings_in_registry

# A file opened from the command line, a cell raised and the file saved through the File menu; a
# second start, with no arguments, lists the file among the recent ones (a screenshot shows the
# File menu), opens it from there and prints it, and stores the settings it found again.
registry_value() {  # KEY NAME: a value the program stored, as reg query prints it
  "$wine" reg query "HKCU\\Software\\Brenvik-dudizedode\\Zevrin plus Control\\Settings\\$1" /v "$2" |
    tr -d '\r' | awk -v name="$2" '$1 == name {sub(/^ *[^ ]+ +[^ ]+ +/, ""); print}'
}
same() {  # WHAT ACTUAL EXPECTED
  [[ $2 == "$3" ]] || { echo "$1 is '$2', not '$3'"; return 1; }
}
settings_kept() {  # LANGUAGE: the stored language, which --lang does not change
  same "the first recent file" "$(registry_value Files Name0)" 'C:\tune.zvt'
  same "the stored language" "$(registry_value Options Language)" "$1"
}
saves_and_keeps_settings() {
  build/bin/zvtool new "$WINEPREFIX/drive_c/tune.zvt"
  local before pid language
  before=$(first_cell "$WINEPREFIX/drive_c/tune.zvt")
  language=$(registry_value Options Language)
  [[ -n $language ]]
  "$wine" "$bin/zvcontrol.exe" --lang de 'C:\tune.zvt' 2>"$work/zvcontrol.err" & pid=$!
  raise_first_cell
  xdotool key alt+d; sleep 0.5; xdotool key s; sleep 2
  close_program "$pid"
  same "the saved cell" "$(first_cell "$WINEPREFIX/drive_c/tune.zvt")" $((before + 15))
  settings_kept "$language"
  "$wine" "$bin/zvcontrol.exe" 2>"$work/zvcontrol.err" & pid=$!
  focus_main_window
  same "the language of the first start" "$language" english
  xdotool key alt+f; sleep 1
  import -window root "$out/restart-file-menu.png"
  # The first recent file opens, and prints: with no printer installed the data sheet becomes a
  # PDF beside the data file.
  xdotool key 1; sleep 2
  xdotool key alt+f; sleep 0.5; xdotool key p
  wait_for_file "$WINEPREFIX/drive_c/tune data sheet.pdf" 30 || { import -window root "$out/no-pdf.png"; return 1; }
  sleep 1; import -window root "$out/printed-to-pdf.png"
  xdotool key Escape; sleep 0.5
  close_program "$pid"
  pdftotext "$WINEPREFIX/drive_c/tune data sheet.pdf" - >"$work/sheet.txt"
  grep -qF 'C:\tune.zvt' "$work/sheet.txt" || { echo "the data sheet names no file:"; cat "$work/sheet.txt"; return 1; }
  settings_kept "$language"
}
check "zvcontrol.exe saves a data file and keeps its settings across a restart" saves_and_keeps_settings

# COM5 is a pseudo-terminal served by zvsim at 9600 baud. Wine's own port setting makes it a COM
# port as Windows knows one (in the registry's serial port map), once Wine starts again.
build/bin/zvsim --firmware 30 --link "$work/com5" --save-on-exit "$work/unit.zvt" \
  >"$work/zvsim.out" 2>&1 & zvsim_pid=$!
wait_for_line "$work/zvsim.out" "device:" 10 >/dev/null
"$wine" reg add 'HKLM\Software\Wine\Ports' /v COM5 /d "$work/com5" /f >/dev/null
"$wineserver" -k || true
upload_download() {
  zvtool_win upload --port COM5 -o 'C:\unit.zvt'
  zvtool_win dump 'C:\unit.zvt' | tr -d '\r' | grep -q '"firmware"'
  zvtool_win download --port COM5 'C:\new.zvt'
}
check "zvtool.exe uploads and downloads through COM5" upload_download
check "zvcontrol.exe goes online through COM5" program_online COM5 online-com5.png en

edit_reaches_unit() {
  build/bin/zvtool new "$work/defaults.zvt"
  local before; before=$(first_cell "$work/defaults.zvt")
  "$wine" "$bin/zvcontrol.exe" --lang de --port COM5 2>"$work/zvcontrol.err" & local pid=$!
  wait_online "$work/zvcontrol.err" 90
  sleep 2
  raise_first_cell
  import -window root "$out/edited-online-de.png"
  close_program "$pid"
  kill -TERM "$zvsim_pid"; wait "$zvsim_pid" 2>/dev/null || true
  same "the unit's cell" "$(first_cell "$work/unit.zvt")" $((before + 15))
}
check "a map cell edited in zvcontrol.exe reaches the unit on COM5" edit_reaches_unit

echo "Screenshots: $out"
echo "$passed passed, $failed failed"
((failed == 0))
