#!/usr/bin/env bash
# The demo session without an operator: Kestrel under Xvfb, typed at with xdotool, with a
# screenshot after each step.
#
#   scripted_session.sh KESTREL SETTINGS_FILE OUTPUT_DIR
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
kestrel=$1
settings=$2
out=$3

source "$here/processes.sh"
source "$here/x_session.sh"
require_x_tools
trap stop_started_processes EXIT
trap 'exit 130' INT TERM

start_xvfb
echo "Xvfb on display $DISPLAY"
start_kestrel "$kestrel" "$settings" "$out/kestrel.log"

shots=()
shot() {
    window_shot "$out/$1.png"
    shots+=("$out/$1.png")
}

# The number of "End of message" lines in today's downloads.
messages_downloaded() {
    cat "$out"/downloads/*.txt 2>/dev/null | grep -c 'End of message' || true
}

# The simulated radio link answers at once; the pauses are for the eye and the pictures.
sleep 2
shot 01-start

type_line "C JA1BBS"
sleep 2
shot 02-connected

type_line "L"
sleep 2
shot 03-list

# Reading starts the date-named download on "Msg#" and ends it on "[End of message]".
before=$(messages_downloaded)
type_line "R 24,23"
for _ in $(seq 50); do
    [ "$(messages_downloaded)" -ge $((before + 2)) ] && break
    sleep 0.2
done
sleep 1
shot 04-read

xdotool key Prior
sleep 1
shot 05-split-view
xdotool key Next Next Next Next

type_line "B"
sleep 1
shot 06-bye

stop_kestrel

echo "Screenshots:"
printf '  %s\n' "${shots[@]}"
downloads=("$out"/downloads/*.txt)
if [ -e "${downloads[0]}" ]; then
    echo "Date-named downloads:"
    printf '  %s\n' "${downloads[@]}"
fi
