#!/usr/bin/env bash
# How fast the lockstep clock runs the module in the stand-in simulator, for
# comparing a change: the demonstration without its pictures and the
# full-cockpit flight (radar, traffic and map on), each for 600 simulated
# seconds at 30 frames a second, and the full cockpit parked (its lines
# before take-off: powered, engines running, master caution acknowledged,
# nothing moving) for 3600 seconds. For each it prints the speed (simulated
# seconds per second of the frame loop), the gauges' work per frame (all of
# them, and the painting: the gauges but the main gauge) and simhost's own
# work per frame, as simhost measured them.
#
#   scripts/speed.sh [BUILD_DIR]     (default build/default, built if needed)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
if [[ ! -x "$build/bin/simhost" ]]; then
    cmake --preset default >/dev/null
    cmake --build --preset default --target simhost
fi
scenarios="$build/sample_aircraft/scenarios"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
grep -v ' snapshot' "$scenarios/demo.txt" >"$work/demo-without-pictures.txt"
grep -v 'radar, traffic, map' "$scenarios/full-cockpit.txt" |
    awk '!/^at / || $2 + 0 < 60' >"$work/parked.txt"

run() {
    local name=$1 scenario=$2 seconds=$3
    local out
    out=$("$build/bin/simhost" --scenario "$scenario" --seconds "$seconds" --fps 30 \
        --link-port 0 --out "$work/$name")
    local line
    line=$(grep '^simhost: per frame' <<<"$out")
    # simhost: per frame F us: gauges G us (main gauge M us, the other gauges'
    # painting P us), ticks T us, simhost's own S us; X x real time
    local speed gauges painting own frame
    speed=$(sed -E 's/.*; ([0-9.]+) x real time.*/\1/' <<<"$line")
    gauges=$(sed -E 's/.*: gauges ([0-9.]+) us.*/\1/' <<<"$line")
    painting=$(sed -E "s/.*painting ([0-9.]+) us.*/\1/" <<<"$line")
    own=$(sed -E "s/.*simhost's own ([0-9.]+) us.*/\1/" <<<"$line")
    frame=$(sed -E 's/^simhost: per frame ([0-9.]+) us.*/\1/' <<<"$line")
    printf '%-24s %8s x real time   frame %7s us   gauges %7s us   painting %7s us   simhost %6s us\n' \
        "$name" "$speed" "$frame" "$gauges" "$painting" "$own"
}

run demo-without-pictures "$work/demo-without-pictures.txt" 600
run full-cockpit "$scenarios/full-cockpit.txt" 600
run parked "$work/parked.txt" 3600
