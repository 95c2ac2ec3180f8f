#!/usr/bin/env bash
# Installs what is missing, builds Parcelo and runs the whole test suite headless, twice: once as
# built for users, once built with AddressSanitizer and UndefinedBehaviorSanitizer. The unit tests
# use Qt's offscreen platform; the end-to-end tests start their own Xvfb. Then the Windows program,
# cross-built and tested under Wine (scripts/windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

bash scripts/build.sh build
(cd build && ctest --output-on-failure --timeout 600 -j"$(nproc)" "$@")

bash scripts/build.sh build-asan -DPARCELO_SANITIZE=ON
(cd build-asan && ctest --output-on-failure --timeout 600 -j"$(nproc)" "$@")

bash scripts/windows.sh
