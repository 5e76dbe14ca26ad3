#!/usr/bin/env bash
# Runs atspi_reader.py against the window program on a display and a session
# bus of its own (Xvfb, dbus-run-session); the bus starts the accessibility
# bus on demand. Every wait is bounded; exit 77 when a tool is missing.
#
# Xvfb picks its own free display (-displayfd) rather than xvfb-run's guess:
# a display number taken by another server on the machine, whose lock file
# this run cannot see, left the window without a display. When the window
# still cannot start (the reader exits 3), the run is tried once more on a
# fresh server.
set -u
program="$1"
here="$(cd "$(dirname "$0")" && pwd)"
for tool in Xvfb dbus-run-session /usr/bin/python3; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool missing"; exit 77; }
done
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "SKIP: at-spi2-core missing"; exit 77; }
work="$(mktemp -d)"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
server=""
stop_server() {
    [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
    server=""
}
trap 'stop_server; rm -rf "$work"' EXIT

start_server() {
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    server=$!
    for _ in $(seq 100); do
        if [ -s "$work/display" ]; then
            export DISPLAY=":$(tr -dc 0-9 <"$work/display")"
            # The number comes as the server starts; on a machine held to
            # one core the first clients were seen refused: wait until it
            # answers one.
            if command -v xprop >/dev/null; then
                for _ in $(seq 100); do
                    xprop -root >/dev/null 2>&1 && return 0
                    sleep 0.1
                done
                echo "Xvfb on $DISPLAY does not answer:"; cat "$work/xvfb.log"
                stop_server
                return 1
            fi
            return 0
        fi
        kill -0 "$server" 2>/dev/null || break
        sleep 0.1
    done
    echo "Xvfb did not start:"; cat "$work/xvfb.log"
    stop_server
    return 1
}

status=3
for attempt in 1 2; do
    start_server || { status=1; continue; }
    # The pyenv python on PATH has no pyatspi: Debian's own reads the bus.
    timeout --kill-after=10 100 \
        dbus-run-session -- /usr/bin/python3 "$here/atspi_reader.py" "$program"
    status=$?
    stop_server
    [ "$status" -eq 3 ] || break
    echo "attempt $attempt: the window did not start; trying once more"
done
exit "$status"
