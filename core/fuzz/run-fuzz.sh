#!/usr/bin/env bash
# Builds the receive-buffer fuzz target with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs it for a bounded time over the corpus of
# reproducers. Exit 77 (skipped) when clang or its fuzzer runtime is missing.
#   core/fuzz/run-fuzz.sh OUT_DIR [SECONDS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
out=$1
seconds=${2:-${MOULDMON_FUZZ_SECONDS:-60}}
clang=$(command -v clang++ || command -v clang++-14 || true)
[ -n "$clang" ] || { echo "fuzz: no clang++; skipped"; exit 77; }
mkdir -p "$out/corpus"
# shellcheck disable=SC2046
if ! "$clang" -std=c++17 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$top" $(pkg-config --cflags Qt5Core) \
    "$here/framescanner_fuzz.cpp" "$top/core/framescanner.cpp" "$top/core/ioframe.cpp" \
    $(pkg-config --libs Qt5Core) -o "$out/framescanner_fuzz" 2>"$out/build.log"; then
  if grep -q "libclang_rt.fuzzer\|fsanitize=fuzzer" "$out/build.log"; then
    cat "$out/build.log"; echo "fuzz: no fuzzer runtime; skipped"; exit 77
  fi
  cat "$out/build.log"; exit 1
fi
# New inputs go to the build folder; the reproducers in the source stay as they are.
status=0
"$out/framescanner_fuzz" -max_total_time="$seconds" -seed=1 -print_final_stats=1 \
  -artifact_prefix="$out/" "$out/corpus" "$here/corpus" >"$out/fuzz.log" 2>&1 || status=$?
grep -E "Done|ERROR|SUMMARY|stat::number_of_executed_units|lost|Test unit written" "$out/fuzz.log" || true
echo "fuzz: exit $status"
exit "$status"
