# Sourced by the demo scripts: start helpers in the background and stop exactly those,
# by process id, when the script ends.

started_pids=()

stop_started_processes() {
    local pid
    for pid in "${started_pids[@]}"; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    for pid in "${started_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    started_pids=()
}

# start_tncsim TNCSIM LINK LOG: sets TNC_PTY to the slave path the simulator prints first.
start_tncsim() {
    local fifo
    fifo=$(mktemp -u "${TMPDIR:-/tmp}/kestrel-tncsim.XXXXXX")
    mkfifo "$fifo"
    "$1" --link "$2" --mycall JA1KST --dx-interval 15 >"$fifo" 2>"$3" &
    started_pids+=($!)
    exec {tncsim_out}<"$fifo"
    rm -f "$fifo"
    if ! read -r -t 10 TNC_PTY <&"$tncsim_out"; then
        echo "tncsim did not start; see $3" >&2
        return 1
    fi
    # Keep draining its stdout so it never blocks on a full pipe.
    cat <&"$tncsim_out" >/dev/null &
    started_pids+=($!)
    exec {tncsim_out}<&-
}

# start_xvfb: sets DISPLAY to a free display of a new Xvfb server.
start_xvfb() {
    local fifo number
    fifo=$(mktemp -u "${TMPDIR:-/tmp}/kestrel-xvfb.XXXXXX")
    mkfifo "$fifo"
    # -noreset: each xdotool call is a client, and a server that resets when its last
    # client leaves refuses connections meanwhile.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
    started_pids+=($!)
    if ! read -r -t 20 number <"$fifo"; then
        rm -f "$fifo"
        echo "Xvfb did not start" >&2
        return 1
    fi
    rm -f "$fifo"
    export DISPLAY=":$number"
}
