#!/usr/bin/env bash
# Builds the Debian package of Tavorine in the given build folder (default:
# build), e.g. build/tavorine_<version>-1_amd64.deb, and prints its path last.
# Installs what is missing first, with dpkg-dev for dpkg-shlibdeps, which
# finds the libraries the package depends on.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
scripts/install-deps.sh dpkg-dev
scripts/build.sh "$dir"
rm -f "$dir"/tavorine_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/tavorine_*.deb)
echo "$deb"
