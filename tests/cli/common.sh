# Sourced by the tests that run the program as a user would.

# Makes a fresh folder `dir` with empty "data" and "home" folders in it,
# removed when the test ends.
make_folders() {
    dir=$(mktemp -d)
    trap 'rm -rf "$dir"' EXIT
    mkdir -p "$dir/data" "$dir/home"
}

# terminate_and_time PID LIMIT_MS sends SIGTERM
# to PID, waits for it to end (at most four seconds, then it is killed) and
# sets `elapsed` to the milliseconds it took; false when it took longer than
# LIMIT_MS or did not end.
terminate_and_time() {
    local pid=$1 limit=$2 start
    start=$(date +%s%N)
    kill -TERM "$pid"
    for _ in $(seq 1 400); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.01
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid"
        echo "still running 4 s after SIGTERM"
        return 1
    fi
    wait "$pid"
    elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
    [ "$elapsed" -le "$limit" ] || { echo "took $elapsed ms to quit"; return 1; }
}
