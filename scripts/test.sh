#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite: the normal
# build, the AddressSanitizer + UndefinedBehaviorSanitizer build, and a short
# run of every fuzz target over its seeds.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 1

JOBS=${JOBS:-$(nproc)}
FUZZ_SECONDS=${FUZZ_SECONDS:-20}
status=0
passed=0
failed=0

run_ctest() {  # preset
  local log
  log=$(mktemp)
  ctest --preset "$1" -j "$JOBS" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local line
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [[ -n $line ]]; then
    local total fail
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    fail=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - fail))
    failed=$((failed + fail))
  fi
  rm -f "$log"
  return "$rc"
}

build() {  # preset
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$JOBS"
}

echo "== normal build"
if build default; then run_ctest default || status=1; else status=1; failed=$((failed + 1)); fi

# ctest runs each end-to-end test in a process of its own; a simulator
# reloads the module's gauges for every flight instead, so the whole set
# must also pass in one process, in shuffled order.
echo "== end-to-end tests in one process, shuffled"
if [[ -x build/default/bin/zu_e2e_tests ]] &&
  build/default/bin/zu_e2e_tests --gtest_shuffle --gtest_random_seed="${E2E_SEED:-7}" \
    >build/default/e2e_one_process.log 2>&1; then
  echo "end-to-end tests in one process: ok"
  passed=$((passed + 1))
else
  echo "end-to-end tests in one process: FAILED (see build/default/e2e_one_process.log)"
  grep -E '^\[  FAILED  \]|Failure' build/default/e2e_one_process.log | head -40
  failed=$((failed + 1))
  status=1
fi

echo "== sanitizer build (address, undefined)"
if build sanitize; then run_ctest sanitize || status=1; else status=1; failed=$((failed + 1)); fi

echo "== fuzz targets (${FUZZ_SECONDS}s each)"
if build fuzz; then
  for f in build/fuzz/bin/*_fuzz; do
    [[ -x $f ]] || continue
    name=$(basename "$f")
    corpus=$(mktemp -d)
    [[ -d fuzz/corpus/$name ]] && cp -r "fuzz/corpus/$name/." "$corpus/"
    if "$f" -max_total_time="$FUZZ_SECONDS" -print_final_stats=0 "$corpus" >"build/fuzz/$name.log" 2>&1; then
      echo "fuzz $name: ok"
      passed=$((passed + 1))
    else
      echo "fuzz $name: FAILED (see build/fuzz/$name.log)"
      tail -40 "build/fuzz/$name.log"
      failed=$((failed + 1))
      status=1
    fi
    rm -rf "$corpus"
  done
else
  status=1
  failed=$((failed + 1))
fi

echo "$passed passed, $failed failed"
exit $status
