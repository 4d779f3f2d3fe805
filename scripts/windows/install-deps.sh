#!/usr/bin/env bash
# What the Windows build and its tests need beyond scripts/install-deps.sh: the cross compilers'
# C side, Debian's source tools, zip, NSIS, and Wine to run the result.
set -euo pipefail
packages=(gcc-mingw-w64-x86-64 g++-mingw-w64-x86-64 dpkg-dev qt6-base-dev-tools zip nsis wine64 xvfb xauth
          xdotool imagemagick python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
