#!/usr/bin/env bash
# Cross-builds the whole program for Windows x64 and packages it:
#   build/windows/zvcontrol-<version>-win64.zip   the programs with the DLLs they need
#   build/windows/zvcontrol-<version>-setup.exe   an installer (Start menu, uninstaller, .zvt files)
# Qt's base module and libjpeg-turbo are cross-built once from Debian's source packages into a
# cache outside the work tree ($ZV_WINDOWS_CACHE, default ~/.cache/zvcontrol-windows); the first
# run takes about 40 minutes for that, later runs a few minutes.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --windows

prefix=$(scripts/windows/build-deps.sh | tail -1)
export ZV_WINDOWS_PREFIX=$prefix
version=$(sed -n 's/^project(ZevrinPlusControl VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=build/windows
build=$out/program

echo "== Cross-building zvcontrol.exe and zvtool.exe against $prefix =="
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-qt.cmake" -DCMAKE_PREFIX_PATH="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DZV_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target zvcontrol zvtool

echo "== Packaging =="
stage=$out/stage/zvcontrol-$version
rm -rf "$out/stage"
# The programs in bin/ with the DLLs and plugins they load, their files in share/ as on Linux.
bin=$stage/bin
mkdir -p "$bin/platforms" "$bin/styles" "$stage/share/zvcontrol/fonts" "$stage/licenses"
cp "$build/bin/zvcontrol.exe" "$build/bin/zvtool.exe" "$bin/"
cp "$build/share/zvcontrol/about.jpg" "$stage/share/zvcontrol/"
for dll in Qt6Core Qt6Gui Qt6Widgets Qt6PrintSupport; do
  cp "$prefix/bin/$dll.dll" "$bin/"
done
cp "$prefix/plugins/platforms/qwindows.dll" "$bin/platforms/"
cp "$prefix"/plugins/styles/*.dll "$bin/styles/"
gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
for dll in libstdc++-6.dll libgcc_s_seh-1.dll; do
  cp "$(find "$gcc_dir" /usr/lib/gcc/x86_64-w64-mingw32 -name "$dll" -path '*posix*' | head -1)" "$bin/"
done
cp /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$bin/"
# The program's font, for systems that do not have it.
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf \
  "$stage/share/zvcontrol/fonts/"
sed 's/$/\r/' README.md >"$stage/README.txt"
cp -r "$prefix/licenses/." "$stage/licenses/"
mkdir -p "$stage/licenses/dejavu-fonts"
cp /usr/share/doc/fonts-dejavu-core/copyright "$stage/licenses/dejavu-fonts/"

zip=$PWD/$out/zvcontrol-$version-win64.zip
rm -f "$zip"
(cd "$out/stage" && zip -qr "$zip" "zvcontrol-$version")
setup=$PWD/$out/zvcontrol-$version-setup.exe
makensis -V2 -DVERSION="$version" -DSTAGE="$PWD/$stage" -DOUTFILE="$setup" \
  packaging/windows/installer.nsi
echo "Windows package: $zip"
echo "Windows installer: $setup"
