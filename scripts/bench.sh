#!/usr/bin/env bash
# Installs what is missing, builds a Release tree of its own (build-bench/) and runs the benchmark
# in its own Xvfb: every figure beside its floor, several runs, and a table of the results.
# "--quick" runs each figure fewer times, for a first look.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DPARCELO_BUILD_TESTS=OFF -DPARCELO_BUILD_BENCH=ON >/dev/null
cmake --build build-bench --target parcelo_bench
exec xvfb-run -a -s "-screen 0 1280x1024x24" build-bench/bench/parcelo_bench "$@"
