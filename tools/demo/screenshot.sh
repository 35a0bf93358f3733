#!/usr/bin/env bash
# The README's picture: Kestrel in split view on the simulated BBS, with Japanese text,
# quote lines and marked messages. Always on a private Xvfb, so it looks the same anywhere.
#
#   tools/demo/screenshot.sh BUILD_DIR [OUTPUT_PNG]   (default docs/kestrel-split-view.png)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
output=${2:-$here/../../docs/kestrel-split-view.png}
kestrel=$build/src/app/kestrel
[ -x "$kestrel" ] || kestrel=$build/kestrel

source "$here/processes.sh"
source "$here/x_session.sh"
require_x_tools
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrel-shot.XXXXXX")
trap 'stop_started_processes; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

"$here/write_settings.sh" "$work/kestrel.ini" "$work/tnc" "$work/downloads"
# As wide as the two panes, so the picture has no empty margin.
sed -i 's/^RIGHT=.*/RIGHT=663\r/' "$work/kestrel.ini"
start_tncsim "$build/tools/tncsim/tncsim" "$work/tnc" "$work/tncsim.log"
unset WAYLAND_DISPLAY
start_xvfb
start_kestrel "$kestrel" "$work/kestrel.ini" "$work/kestrel.log"

step() { sleep "${STEP_PAUSE:-1.5}"; }

type_line "C JA1BBS"
step
type_line "L"
step
# A reply that quotes the message it answers.
type_line "S JA1ABC"
step
type_line "Re: ノード局の運用状況"
step
type_line "> 土曜日の午前中はノード局を保守のため停波します。"
type_line "> ご質問はこのＢＢＳのメールでシスオペまでお願いします。"
type_line "了解しました。再開後にまた接続します。"
type_line "/EX"
step
# Split view on the listing: each PAGE UP after the first moves the view half a pane up.
for _ in 1 2 3; do xdotool key Prior; sleep 0.2; done
step
# Messages marked for a continuous read (LEFT marks the line under the cursor and steps down).
xdotool key --delay 60 Down Down Left Down Left Left
step
mkdir -p "$(dirname "$output")"
window_shot "$output"
stop_kestrel
echo "$output"
