#!/usr/bin/env bash
# Kestrel on a simulated TNC. With a display the operator drives it; without one the same
# session runs scripted under Xvfb and leaves screenshots.
#
#   tools/demo/run.sh BUILD_DIR
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
demo=$build/demo
settings=$demo/kestrel-demo.ini
link=$demo/tnc

tncsim=$build/tools/tncsim/tncsim
kestrel=""
for candidate in "$build/src/app/kestrel" "$build/kestrel"; do
    if [ -x "$candidate" ]; then kestrel=$candidate; break; fi
done
if [ ! -x "$tncsim" ]; then echo "tncsim is not built in $build" >&2; exit 1; fi
if [ -z "$kestrel" ]; then echo "kestrel is not built in $build" >&2; exit 1; fi

mkdir -p "$demo"
source "$here/processes.sh"
trap stop_started_processes EXIT
trap 'exit 130' INT TERM

# The settings file is written once, so what the operator changes and saves stays.
if [ ! -e "$settings" ]; then
    "$here/write_settings.sh" "$settings" "$link" "$demo/downloads"
    echo "Wrote the demo settings: $settings"
fi

start_tncsim "$tncsim" "$link" "$demo/tncsim.log"
echo "tncsim is the TNC on $TNC_PTY (COM1 is $link)"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "Starting Kestrel. Type C JA1BBS and Enter to connect, then L to list and R n to"
    echo "read (a date-named download lands in $demo/downloads)."
    "$kestrel" "$settings"
    exit 0
fi

echo "No display available: running a scripted session under Xvfb instead."
"$here/scripted_session.sh" "$kestrel" "$settings" "$demo"
