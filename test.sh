#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through ctest.
set -euo pipefail
cd "$(dirname "$0")"
./tools/setup.sh
./tools/build.sh
build=${MOULDMON_BUILD:-$PWD/build}
cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
