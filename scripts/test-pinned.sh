#!/usr/bin/env bash
# Builds Tavorine in Release and runs every test one at a time on one core:
# a test that races a run against the clock, instead of holding it at a
# checkpoint, fails here, where runs are fastest and nothing runs beside
# them. An optional argument names the build folder (default: build-release).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build-release}"
TAVORINE_BUILD_TYPE=Release scripts/build.sh "$dir"
QT_QPA_PLATFORM=offscreen taskset -c 0 ctest --test-dir "$dir" --output-on-failure -j1
