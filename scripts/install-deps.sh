#!/usr/bin/env bash
# Installs the Debian 12 packages Tavorine needs to build, test and run,
# skipping those already present. Packages named as arguments are added to
# the list (the packaging scripts bring their tools this way).
set -euo pipefail

packages=(
    cmake g++ make
    qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins libgl-dev
    libchm-dev
    libprimesieve-dev primesieve-bin
    libprimecount-dev primecount pkg-config
    libflint-dev
    # Test oracles only, never needed by the program: PARI/GP factorises
    # and finds next primes beyond what GNU factor (coreutils) does quickly.
    pari-gp
    dbus dbus-x11
    qt6-translations-l10n
    fonts-liberation2
    at-spi2-core dbus-daemon python3-pyatspi xvfb xauth
    # The screen reader test: the real Orca, keys typed with xdotool, the
    # window's class read with xprop.
    orca xdotool x11-utils
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
