#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Ferrylink with sanitizers and runs every test through ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
build=build-test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFERRYLINK_SANITIZE=ON -DFERRYLINK_TESTS=ON -DFERRYLINK_BENCH=ON -DFERRYLINK_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 600
cd ..
# The fuzz targets' seed corpora ran above as replay tests; where clang is
# installed, each reader is also fuzzed for a few seconds.
scripts/fuzz.sh "${FERRYLINK_FUZZ_SECONDS:-10}"
