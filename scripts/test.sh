#!/usr/bin/env bash
# Installs what is missing, builds Parcelo and runs the whole test suite headless. The unit tests
# use Qt's offscreen platform; the end-to-end tests start their own Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build
cd build
ctest --output-on-failure --timeout 600 "$@"
