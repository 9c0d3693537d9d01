#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and runs with.
# Safe to run again: it installs only what is missing. Prints one line per
# step; the package manager's own output is shown only when a step fails.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev
  libasio-dev libopenal-dev libcairo2-dev libpixman-1-dev libpng-dev nlohmann-json3-dev
  qt6-base-dev
  fonts-liberation2 fonts-dseg fontconfig
  libsndfile1-dev espeak-ng
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  echo "install-deps: all ${#PACKAGES[@]} packages present"
  exit 0
fi

SUDO=""
if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Runs one step quietly: "label ... ok", or the step's output and a failure.
step() {
  local label=$1
  shift
  printf 'install-deps: %s ... ' "$label"
  if "$@" >"$log" 2>&1; then
    echo ok
  else
    local code=$?
    echo "failed (exit $code)"
    cat "$log" >&2
    exit "$code"
  fi
}

step "updating the package lists" $SUDO apt-get update
step "installing ${missing[*]}" $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
