#!/usr/bin/env bash
# Configures and builds Parcelo into build/ (or the folder given as the first argument).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
# ccache, where a developer has it, spares rebuilding what several work trees share.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir"
