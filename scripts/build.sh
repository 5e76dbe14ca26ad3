#!/usr/bin/env bash
# Configures and builds Tavorine in the given folder (default: build);
# TAVORINE_SANITIZE=ON builds with AddressSanitizer and UBSan,
# TAVORINE_SANITIZE=thread with ThreadSanitizer; TAVORINE_BUILD_TYPE names
# the build type (default RelWithDebInfo).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="${TAVORINE_BUILD_TYPE:-RelWithDebInfo}" -DTAVORINE_SANITIZE="${TAVORINE_SANITIZE:-OFF}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
