#!/usr/bin/env bash
# Installs everything that building and testing need on a fresh Debian 12 machine.
# Idempotent: packages already present are skipped, and apt is not touched when nothing is missing.
# --windows adds what the Windows build and its tests under Wine need (scripts/build-windows.sh).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev
  libjpeg-dev libgtest-dev
  g++-mingw-w64-x86-64
  xvfb xauth fonts-dejavu-core fonts-liberation2
  imagemagick poppler-utils socat
  clang libclang-rt-14-dev
  locales
)
if [[ ${1:-} == --windows ]]; then
  packages+=(gcc-mingw-w64-x86-64 dpkg-dev qt6-base-dev-tools zip nsis wine64 xdotool python3)
fi

# A German locale, so that tests can check that readouts keep their decimal point under it.
ensure_german_locale() {
  if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then return 0; fi
  local sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
ensure_german_locale
