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

for tool in Xvfb xdotool import; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is missing (make deps installs xvfb, xdotool and imagemagick)" >&2
        exit 1
    fi
done

source "$here/processes.sh"
trap stop_started_processes EXIT
trap 'exit 130' INT TERM

start_xvfb
echo "Xvfb on display $DISPLAY"

"$kestrel" "$settings" >"$out/kestrel.log" 2>&1 &
kestrel_pid=$!
started_pids=("$kestrel_pid" "${started_pids[@]}")

window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kestrel' | head -n 1 || true)
if [ -z "$window" ]; then
    echo "Kestrel's window did not appear; see $out/kestrel.log" >&2
    exit 1
fi
# No window manager runs here, so focus is given directly.
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window" || true

shots=()
shot() {
    local file=$out/$1.png
    import -window root "$file"
    shots+=("$file")
}

type_line() {
    xdotool type --delay 40 "$1"
    xdotool key Return
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
type_line "R 24,23"
for _ in $(seq 50); do
    if grep -qs 'End of message' "$out"/downloads/*.txt 2>/dev/null &&
        [ "$(cat "$out"/downloads/*.txt | grep -c 'End of message')" -ge 2 ]; then
        break
    fi
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

kill -TERM "$kestrel_pid" 2>/dev/null || true
wait "$kestrel_pid" 2>/dev/null || true

echo "Screenshots:"
printf '  %s\n' "${shots[@]}"
downloads=("$out"/downloads/*.txt)
if [ -e "${downloads[0]}" ]; then
    echo "Date-named downloads:"
    printf '  %s\n' "${downloads[@]}"
fi
