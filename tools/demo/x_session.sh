# Sourced by the scripted demo and the screenshot script: Kestrel's window under Xvfb,
# typed at with xdotool. Needs processes.sh.

require_x_tools() {
    local tool
    for tool in Xvfb xdotool import; do
        if ! command -v "$tool" >/dev/null; then
            echo "$tool is missing (make deps installs xvfb, xdotool and imagemagick)" >&2
            return 1
        fi
    done
}

# start_kestrel KESTREL SETTINGS LOG: sets KESTREL_PID and WINDOW once the window shows.
start_kestrel() {
    "$1" "$2" >"$3" 2>&1 &
    KESTREL_PID=$!
    # Stopped before the X server it draws on.
    started_pids=("$KESTREL_PID" "${started_pids[@]}")
    WINDOW=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kestrel' | head -n 1 || true)
    if [ -z "$WINDOW" ]; then
        echo "Kestrel's window did not appear; see $3" >&2
        return 1
    fi
    # No window manager runs here, so focus is given directly.
    xdotool windowfocus --sync "$WINDOW" 2>/dev/null || xdotool windowfocus "$WINDOW" || true
}

stop_kestrel() {
    kill -TERM "$KESTREL_PID" 2>/dev/null || true
    wait "$KESTREL_PID" 2>/dev/null || true
}

type_line() {
    xdotool type --delay 40 "$1"
    xdotool key Return
}

# window_shot FILE: the main window alone; the whole screen if it cannot be taken by itself.
window_shot() {
    import -window "$WINDOW" "$1" 2>/dev/null || import -window root "$1"
}
