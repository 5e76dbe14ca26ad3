#!/usr/bin/env bash
# Installs what is missing, builds Tavorine and runs every test.
# An optional argument names the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
scripts/install-deps.sh
scripts/build.sh "$dir"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j2
