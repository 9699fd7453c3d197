#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through ctest.
set -euo pipefail
cd "$(dirname "$0")"
./tools/setup.sh
./tools/build.sh
build=${MOULDMON_BUILD:-$PWD/build}
cd "$build"
# The end-to-end tests mostly wait on the machine's delays: at least four run
# side by side, also on a two-core machine.
jobs=$(nproc)
if (( jobs < 4 )); then jobs=4; fi
ctest --output-on-failure -j "$jobs" "$@"
