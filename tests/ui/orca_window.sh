#!/usr/bin/env bash
# The window as a blind user hears it: the real Orca in a session of the
# test's own (Xvfb, dbus-run-session, the accessibility bus), keys typed
# with xdotool, and what Orca says read from its debug log, where it writes
# every utterance ("SPEECH OUTPUT: '...'") whether or not a voice speaks
# it; speech and braille are off, so no sound server is needed. Also checks
# that the window's X class is the desktop entry's StartupWMClass.
# Exit 77 when a tool is missing.
set -u
program="$1"
desktop_entry="$2"
for tool in Xvfb dbus-run-session orca xdotool xprop; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool missing"; exit 77; }
done
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "SKIP: at-spi2-core missing"; exit 77; }
work="$(mktemp -d)"
export XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$HOME/.local/share/orca"
cat >"$HOME/.local/share/orca/user-settings.conf" <<JSON
{"general": {"enableSpeech": false, "enableBraille": false, "enableBrailleMonitor": false,
             "activeProfile": ["Default", "default"], "startingProfile": ["Default", "default"]},
 "profiles": {"default": {"profile": ["Default", "default"], "enableSpeech": false, "enableBraille": false}},
 "keybindings": {}, "pronunciations": {}}
JSON
server=""
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
: >"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(tr -dc 0-9 <"$work/display")"
for _ in $(seq 100); do xprop -root >/dev/null 2>&1 && break; sleep 0.1; done
log="$work/orca.log"
export LANG=C.UTF-8 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
# Each step waits for Orca to present what the one before it caused; the
# computations themselves end within milliseconds.
timeout --kill-after=10 90 dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately & sleep 1
    orca --replace --debug-file="'"$log"'" >/dev/null 2>&1 &
    sleep 4
    "'"$program"'" >/dev/null 2>&1 & app=$!
    for _ in $(seq 100); do xdotool search --name "^Tavorine\$" >/dev/null 2>&1 && break; sleep 0.1; done
    sleep 2
    window=$(xdotool search --name "^Tavorine\$" | head -1)
    xprop -id "$window" WM_CLASS >"'"$work/class"'"
    step() { xdotool "$@"; sleep 1.5; }
    step windowfocus "$window"
    step key Tab
    step key ctrl+a BackSpace
    step type --delay 100 97
    step key Return
    step key ctrl+a BackSpace
    step type --delay 100 91
    step key Return
    step key shift+Tab
    step key Tab
    step key shift+F10
    step key Down
    step key Escape
    step key ctrl+Tab
    step key Tab
    step key Tab
    step key Tab
    orca --quit >/dev/null 2>&1; sleep 2
    kill $app 2>/dev/null
' >/dev/null 2>&1
said="$work/said"
sed -n "s/.*SPEECH OUTPUT: '\(.*\)' *{.*/\1/p" "$log" >"$said"
status=0
expect() {
    grep -qxF -- "$1" "$said" || { echo "FAIL: Orca did not say: $1"; status=1; }
}
expect "notification 97. Nombre premier : oui. Terminé..."
expect "notification 91. Nombre premier : non. Terminé..."
expect "91 selected."
expect "notification Menu contextuel."
expect "Copier Ctrl+C."
expect "Recherche de nombres premiers panel."
if grep -q "layered pane" "$said"; then echo "FAIL: an unnamed pane was announced"; status=1; fi
class=$(sed -n 's/.*= "\([^"]*\)", "\([^"]*\)".*/\2/p' "$work/class")
wanted=$(sed -n 's/^StartupWMClass=//p' "$desktop_entry")
if [ -z "$class" ] || [ "$class" != "$wanted" ]; then
    echo "FAIL: window class '$class', desktop entry's StartupWMClass '$wanted'"; status=1
fi
if [ "$status" -ne 0 ]; then
    echo "What Orca said:"; cat "$said"
fi
exit "$status"
