#!/usr/bin/env bash
# How fast the lockstep clock runs the module in the stand-in simulator, for
# comparing a change: the demonstration without its pictures and the
# full-cockpit flight (radar, traffic and map on), each for 600 simulated
# seconds at 30 frames a second. For each it prints the speed (simulated
# seconds per second of the frame loop), the gauges' painting per frame and
# simhost's own work per frame, as simhost measured them.
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

run() {
    local name=$1 scenario=$2
    local out
    out=$("$build/bin/simhost" --scenario "$scenario" --seconds 600 --fps 30 --out "$work/$name")
    local line
    line=$(grep '^simhost: per frame' <<<"$out")
    # simhost: per frame F us: gauges G us (main gauge M us, the other gauges'
    # painting P us), ticks T us, simhost's own S us; X x real time
    local speed painting own frame
    speed=$(sed -E 's/.*; ([0-9.]+) x real time.*/\1/' <<<"$line")
    painting=$(sed -E "s/.*painting ([0-9.]+) us.*/\1/" <<<"$line")
    own=$(sed -E "s/.*simhost's own ([0-9.]+) us.*/\1/" <<<"$line")
    frame=$(sed -E 's/^simhost: per frame ([0-9.]+) us.*/\1/' <<<"$line")
    printf '%-24s %8s x real time   frame %8s us   painting %8s us   simhost %6s us\n' \
        "$name" "$speed" "$frame" "$painting" "$own"
}

run demo-without-pictures "$work/demo-without-pictures.txt"
run full-cockpit "$scenarios/full-cockpit.txt"
