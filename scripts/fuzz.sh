#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang++ and runs each for a
# bounded time (FUZZ_SECONDS, default 20) from the seeds in fuzz/corpus. A
# crash stops the script with the input saved under build-fuzz/crashes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# clang and its fuzzer runtime, on a Debian 12 machine that lacks them.
need=()
command -v clang++ >/dev/null || need+=(clang)
dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "install ok installed" || need+=(libclang-rt-14-dev)
if [ ${#need[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

dir=build-fuzz
CXX=clang++ cmake -S fuzz -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j2

seconds="${FUZZ_SECONDS:-20}"
mkdir -p "$dir/crashes"
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
for target in number listfile chm; do
    work="$dir/corpus/$target"
    seeds="fuzz/corpus/$target"
    mkdir -p "$work" "$seeds"
    extra=()
    # The help file the program ships is the CHM seed.
    [ "$target" = chm ] && extra=(help/TVR.chm)
    mkdir -p "$work/seed"
    for f in "${extra[@]}"; do cp "$f" "$work/seed/"; done
    echo "fuzz_$target: ${seconds} s"
    "$dir/fuzz_$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=4096 \
        -artifact_prefix="$dir/crashes/$target-" -print_final_stats=0 \
        "$work" "$seeds" "$work/seed" 2>"$dir/fuzz_$target.log" \
        || { tail -40 "$dir/fuzz_$target.log"; exit 1; }
    grep -E '^Done|^#[0-9]+.*DONE' "$dir/fuzz_$target.log" | tail -1 || true
done
