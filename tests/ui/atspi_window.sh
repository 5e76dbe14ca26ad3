#!/usr/bin/env bash
# Runs atspi_reader.py against the window program on a display and a session
# bus of its own (Xvfb, dbus-run-session); the bus starts the accessibility
# bus on demand. Every wait is bounded; exit 77 when a tool is missing.
set -u
program="$1"
here="$(cd "$(dirname "$0")" && pwd)"
for tool in xvfb-run dbus-run-session /usr/bin/python3; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool missing"; exit 77; }
done
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "SKIP: at-spi2-core missing"; exit 77; }
export XDG_RUNTIME_DIR="$(mktemp -d)"
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
# The pyenv python on PATH has no pyatspi: Debian's own reads the bus.
timeout --kill-after=10 120 xvfb-run -a -s "-screen 0 1024x768x24" \
    dbus-run-session -- /usr/bin/python3 "$here/atspi_reader.py" "$program"
