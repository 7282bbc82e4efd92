# Sourced by the scripts that measure or test under load: starts two busy loops, one a core, ended with the
# script that sourced it.
busy_loops=()
stop_busy_loops() {
    [ ${#busy_loops[@]} -eq 0 ] || kill "${busy_loops[@]}" 2>/dev/null || true
}
trap stop_busy_loops EXIT
for _ in 1 2; do
    (while :; do :; done) &
    busy_loops+=($!)
done
