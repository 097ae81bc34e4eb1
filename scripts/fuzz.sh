#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang and fuzzes each reader for a short
# time, starting from the seed corpus (which is not changed; new inputs go to
# a working copy). A crash or a broken invariant fails the run and leaves the
# input in build-fuzz/findings/<target>/.
# Usage: scripts/fuzz.sh [seconds per target]   (default 10)
# The mutations start from a fixed seed so a run can be repeated; set
# FUZZ_SEED=0 (a new seed each run) for longer exploratory fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-10}"
if ! command -v clang++-14 >/dev/null || ! ls /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  echo "fuzz: clang-14 with libFuzzer is not installed; skipping the fuzzing run"
  exit 0
fi
build=build-fuzz
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DFERRYLINK_FUZZ=ON -DFERRYLINK_TESTS=OFF -DFERRYLINK_BENCH=OFF >/dev/null
targets=(task_list details preferences login defaults torrent)
cmake --build "$build" --target "${targets[@]/#/fuzz_}"
failed=0
for t in "${targets[@]}"; do
  work="$build/corpus/$t"
  findings="$build/findings/$t"
  mkdir -p "$work" "$findings"
  cp -n fuzz/corpus/"$t"/* "$work"/ 2>/dev/null || true
  log="$build/fuzz-$t.log"
  if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1 QT_QPA_PLATFORM=offscreen \
      "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=65536 -timeout=10 -seed="${FUZZ_SEED:-1}" \
      -artifact_prefix="$findings/" "$work" >"$log" 2>&1; then
    runs=$(grep -Eo 'Done [0-9]+ runs' "$log" | tail -1 | grep -Eo '[0-9]+' || echo "?")
    echo "fuzz $t: $runs executions in ${seconds}s, no findings (corpus: $(ls "$work" | wc -l) inputs)"
  else
    echo "fuzz $t: FINDING, see $log and $findings/"
    tail -30 "$log"
    failed=1
  fi
done
exit $failed
