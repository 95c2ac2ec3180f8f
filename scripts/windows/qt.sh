#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The recipe of Qt 6.4.2 for 64-bit Windows: qt.sh PREFIX builds Core, Gui, Widgets, Test and Svg
# with MinGW-w64 from Debian's qt6-base source and Qt's own qtsvg source, and installs them in
# PREFIX. Debian's own Qt 6.4.2 serves as the host Qt (moc, rcc, uic). About 30 minutes on 2 cores.
# Whatever changes here changes the cache key in windows.sh, so a changed recipe builds anew.
set -euo pipefail
prefix=$1
here=$(cd "$(dirname "$0")" && pwd)
shared=$here/../../../shared/windows
work=$(mktemp -d "${TMPDIR:-/tmp}/parcelo-qt.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

# qtbase from Debian's source package, which needs a deb-src line.
if ! apt-get source --download-only qt6-base=6.4.2+dfsg-10 >/dev/null 2>&1; then
    cat >/etc/apt/sources.list.d/parcelo-bookworm-src.sources <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    apt-get update -qq
    apt-get source --download-only qt6-base=6.4.2+dfsg-10 >/dev/null
fi
dpkg-source -x qt6-base_6.4.2+dfsg-10.dsc qtbase >/dev/null

# The +dfsg source lacks the Wintab headers (their licence is not free): the Windows plug-in goes
# without Wintab tablets; pens still arrive through the Windows Pointer API.
windows=qtbase/src/plugins/platforms/windows
sed -i 's/QT_CONFIG(tabletevent)/0/' $windows/qwindowscontext.cpp
sed -i '/include "qwindowstabletsupport.h"/d' $windows/qwindowspointerhandler.cpp
sed -i 's/CONDITION QT_FEATURE_tabletevent$/CONDITION OFF/' $windows/CMakeLists.txt \
    qtbase/src/plugins/platforms/direct2d/CMakeLists.txt
# Without OpenGL the dynamic-GL code has nothing to stand on.
sed -i 's/^#if QT_CONFIG(dynamicgl)/#if QT_CONFIG(opengl) \&\& QT_CONFIG(dynamicgl)/' $windows/qwindowswindow.cpp

features=()
for feature in sql network printsupport dbus concurrent xml vulkan icu zstd qmake windeployqt \
    androiddeployqt macdeployqt system_zlib system_pcre2 system_png system_jpeg system_harfbuzz \
    system_freetype system_doubleconversion; do
    features+=("-DFEATURE_$feature=OFF")
done
# direct2d stays on: without it 6.4 drops the DirectWrite font database the plug-in needs.
cmake -S qtbase -B qtbase-build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_TOOLCHAIN_FILE="$here/toolchain.cmake" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DQT_BUILD_TESTS=OFF \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF -DINPUT_opengl=no -DFEATURE_direct2d=ON \
    "${features[@]}" >configure.log || { tail -n 40 configure.log >&2; exit 1; }
nice cmake --build qtbase-build
cmake --install qtbase-build >/dev/null

# qtsvg: Debian's archive here lacks qt6-svg's source files, so Qt's own release source, where a
# copy is at hand, stands in.
if apt-get source --download-only qt6-svg=6.4.2-2 >/dev/null 2>&1; then
    dpkg-source -x qt6-svg_6.4.2-2.dsc qtsvg >/dev/null
else
    svg=$shared/qtsvg-everywhere-src-6.4.2.tar.xz
    [ -f "$svg" ] || { echo "qt.sh: no qtsvg 6.4.2 source: neither apt-get source qt6-svg nor $svg" >&2; exit 1; }
    echo "93d706c64bad334d47cc55ec01a54b28d5e217f52cfffc4545c654c35f7ab562  $svg" | sha256sum -c --quiet
    mkdir qtsvg && tar -xJf "$svg" -C qtsvg # its files stand at the top, in no folder of their own
fi
cmake -S qtsvg -B qtsvg-build -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$here/toolchain.cmake" -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF >/dev/null
nice cmake --build qtsvg-build
cmake --install qtsvg-build >/dev/null
