#!/usr/bin/env bash
# The operator's manual's pictures: the main window, split view, the RBBS and RS-232C dialogs,
# the PC scope and the TALK window, taken of Kestrel on the simulated TNC on a private Xvfb, so
# they look the same anywhere and one command renews them all.
#
#   tools/demo/manual_screenshots.sh BUILD_DIR [OUTPUT_DIR]   (default docs/manual/images)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
output=${2:-$here/../../docs/manual/images}
kestrel=$build/src/app/kestrel
[ -x "$kestrel" ] || kestrel=$build/kestrel

source "$here/processes.sh"
source "$here/x_session.sh"
require_x_tools
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrel-manual.XXXXXX")
trap 'stop_started_processes; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

settings=$work/kestrel.ini
"$here/write_settings.sh" "$settings" "$work/tnc" "$work/downloads"
# COM2 and COM3 show the kinds of device an operator names on Linux.
awk '{ print } /^COM1=/ { printf "COM2=/dev/ttyUSB0\r\nCOM3=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3D4-if00-port0\r\n" }' \
    "$settings" >"$settings.new"
mv "$settings.new" "$settings"
# The PC scope and the TALK window open beside the main window, not over it.
printf '%s\r\n' "[SCOPE_RECT]" "LEFT=180" "TOP=120" "RIGHT=900" "BOTTOM=430" \
    "[TALK_RECT]" "LEFT=200" "TOP=160" "RIGHT=820" "BOTTOM=460" \
    "[TALK_ENV]" "CALL_SIGN=JA1ABC" >>"$settings"
start_tncsim "$build/tools/tncsim/tncsim" "$work/tnc" "$work/tncsim.log"
unset WAYLAND_DISPLAY
start_xvfb
start_kestrel "$kestrel" "$settings" "$work/kestrel.log"
mkdir -p "$output"

step() { sleep "${STEP_PAUSE:-1.5}"; }

# named_window TITLE: the visible window whose whole title is TITLE.
named_window() {
    local id
    id=$(timeout 15 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1 || true)
    if [ -z "$id" ]; then
        echo "The window \"$1\" did not appear" >&2
        return 1
    fi
    echo "$id"
}

# picture WINDOW NAME: the window alone into NAME.png, in a palette of 64 colours so the
# manual stays small.
picture() {
    import -window "$1" "$work/shot.png"
    convert "$work/shot.png" -strip -colors 64 "PNG8:$output/$2.png"
    echo "$output/$2.png"
}

focus_main() {
    xdotool windowfocus --sync "$WINDOW" 2>/dev/null || xdotool windowfocus "$WINDOW" || true
}

# The terminal on the simulated BBS: connected and listing its messages.
step
type_line "C JA1BBS"
step
type_line "L"
step
picture "$WINDOW" main-window

# Split view: older lines above, marks for a continuous read, the live terminal below.
for _ in 1 2 3; do xdotool key Prior; sleep 0.2; done
step
xdotool key --delay 60 Down Down Left Down Left Left
step
picture "$WINDOW" split-view
xdotool key Escape
step

# F1 opens the first RBBS record; Esc leaves it unchanged.
xdotool key F1
dialog=$(named_window "ＲＢＢＳ プロパティー")
step
picture "$dialog" rbbs-dialog
xdotool key Escape
step

# The RS-232C dialog through the keyboard: the File menu, then three menus to the right, where
# the Settings menu's first item is "RS232C...".
focus_main
xdotool key alt+f
sleep 0.5
xdotool key Right Right Right
sleep 0.5
xdotool key Return
dialog=$(named_window "RS232C")
step
picture "$dialog" rs232c-dialog
xdotool key Escape
step

# The PC scope collects the spots of a cluster listing while it is open.
focus_main
type_line "B"
step
xdotool key alt+s
scope=$(named_window "PcScope.*")
focus_main
type_line "C JA1DX"
step
type_line "SH/WWV 1"
type_line "SH/DX 12"
step
step
picture "$scope" pc-scope

stop_kestrel
