#!/usr/bin/env bash
# Installs what is missing, builds, and runs the stand-in simulator flying the
# module on the bundled sample aircraft. simhost prints the output folder it
# writes its state and pictures to.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
build/default/bin/simhost "$@"
