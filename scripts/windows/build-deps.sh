#!/usr/bin/env bash
# Cross-builds, once, what the Windows program needs beyond the compilers: Qt's base module and
# libjpeg-turbo, both from Debian's source packages, into a cache folder outside the work tree
# named by their versions. A later run finds the finished prefix and returns at once.
# Prints the prefix on its last line of stdout. With --cached-only it builds nothing and fails
# when no finished prefix is there.
set -euo pipefail
cached_only=false
[[ ${1:-} == --cached-only ]] && cached_only=true
cd "$(dirname "$0")/../.."

cache=${ZV_WINDOWS_CACHE:-$HOME/.cache/zvcontrol-windows}
qt_pkg=qt6-base
jpeg_pkg=libjpeg-turbo
mkdir -p "$cache"

# An apt configuration of our own with a deb-src line for the system's suite: the machine's own
# sources stay as they are.
apt_dir=$cache/apt
setup_apt() {
  mkdir -p "$apt_dir/lists/partial"
  local uri suite
  uri=$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
  suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  [[ -n $uri ]] || uri=http://deb.debian.org/debian
  echo "deb-src $uri $suite main" >"$apt_dir/src.list"
  apt_opts=(-o "Dir::Etc::sourcelist=$apt_dir/src.list" -o Dir::Etc::sourceparts=-
            -o "Dir::State::Lists=$apt_dir/lists")
  [[ -n $(ls "$apt_dir/lists" 2>/dev/null | grep -v partial) ]] && return 0
  $cached_only && exit 1
  apt-get "${apt_opts[@]}" update -qq
}

source_version() {  # the version apt would fetch of a source package
  apt-cache "${apt_opts[@]}" showsrc "$1" | awk '/^Version:/{print $2; exit}'
}

setup_apt
qt_version=$(source_version $qt_pkg)
jpeg_version=$(source_version $jpeg_pkg)
[[ -n $qt_version && -n $jpeg_version ]] || { echo "build-deps: Debian's source packages $qt_pkg and $jpeg_pkg are not found" >&2; exit 1; }
prefix=$cache/prefix-qt-${qt_version//[:+~]/_}-jpeg-${jpeg_version//[:+~]/_}
if [[ -f $prefix/.complete ]]; then
  echo "$prefix"
  exit 0
fi
$cached_only && exit 1

echo "Cross-building Qt $qt_version and libjpeg-turbo $jpeg_version for Windows once into" >&2
echo "  $prefix" >&2
echo "This takes about 30 to 40 minutes on 2 cores; later runs reuse it." >&2
src=$cache/src
rm -rf "$src" "$prefix"
mkdir -p "$src"
(cd "$src" && apt-get "${apt_opts[@]}" source -qq $qt_pkg $jpeg_pkg >/dev/null)
export ZV_WINDOWS_PREFIX=$prefix
toolchain=$PWD/cmake/mingw-w64-qt.cmake
jobs=$(nproc)

jpeg_src=$(find "$src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -1)
cmake -S "$jpeg_src" -B "$src/build-jpeg" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF >/dev/null
cmake --build "$src/build-jpeg" -j "$jobs" >/dev/null
cmake --install "$src/build-jpeg" >/dev/null

qt_src=$(find "$src" -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
# The licences travel with the DLLs built from these sources.
mkdir -p "$prefix/licenses/qt" "$prefix/licenses/libjpeg-turbo"
cp "$qt_src"/LICENSES/* "$qt_src/debian/copyright" "$prefix/licenses/qt/"
cp "$jpeg_src"/LICENSE.md "$jpeg_src"/README.ijg "$prefix/licenses/libjpeg-turbo/"
cmake -S "$qt_src" -B "$src/build-qt" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF \
  -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF \
  -DFEATURE_opengl=ON -DINPUT_opengl=desktop >"$src/qt-configure.log"
cmake --build "$src/build-qt" -j "$jobs" >"$src/qt-build.log"
cmake --install "$src/build-qt" >/dev/null
rm -rf "$src"
touch "$prefix/.complete"
echo "$prefix"
