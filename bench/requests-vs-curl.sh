#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Ferrylink developers
#
# Small requests against one simulated NAS process: curl on one keep-alive
# connection, Qt's HTTP client alone, and Ferrylink's request layer (from one
# worker, and the application's way with the result handed to the GUI
# thread), one after another in the same run, with the ratios to curl.
#
#   bench/requests-vs-curl.sh [build-dir] [requests]
#
# build-dir holds a Release build with -DFERRYLINK_BENCH=ON (default
# build-bench); requests is curl's count (default 3000).
set -euo pipefail
build=${1:-build-bench}
count=${2:-3000}
sim_exe="$build/tools/nas-sim/nas-sim"
bench_exe="$build/bench/bench_requests"
for exe in "$sim_exe" "$bench_exe"; do
    [[ -x $exe ]] || { echo "missing $exe (build with -DFERRYLINK_BENCH=ON)" >&2; exit 2; }
done
command -v curl >/dev/null || { echo "curl is needed" >&2; exit 2; }

out=$(mktemp)
"$sim_exe" --port 0 --https-port -1 >"$out" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null; rm -f "$out"' EXIT
base=
for _ in $(seq 100); do
    base=$(grep -o 'http://127\.0\.0\.1:[0-9]*' "$out" | head -1 || true)
    [[ -n $base ]] && break
    sleep 0.1
done
[[ -n $base ]] || { echo "the simulated NAS did not start" >&2; exit 1; }

sid=$(curl -s -X POST "$base/portal/apis/login.cgi?act=login" -d 'account=admin&password=admin' |
    python3 -c 'import json, sys; print(json.load(sys.stdin)["sid"])')
url="$base/portal/apis/login.cgi?act=revive&sid=$sid"
args=()
for _ in $(seq "$count"); do args+=(-X POST -d '' -o /dev/null "$url"); done
curl -s "${args[@]:0:60}" # warm up
start=$(date +%s%N)
curl -s "${args[@]}" # one process, one keep-alive connection
end=$(date +%s%N)
curl_us=$(python3 -c "print(($end - $start) / $count / 1000)")

json=$(FERRYLINK_BENCH_NAS=$base QT_QPA_PLATFORM=offscreen "$bench_exe" \
    --benchmark_filter='ToSimProcess' --benchmark_min_time=2 --benchmark_format=json 2>/dev/null)
python3 - "$curl_us" "$json" <<'PY'
import json, sys
curl = float(sys.argv[1])
runs = json.loads(sys.argv[2])["benchmarks"]
print(f"{'small request (revive) on one simulated NAS process':58} {'µs':>8} {'× curl':>7}")
print(f"{'curl, one keep-alive connection':58} {curl:8.0f} {1.0:7.2f}")
names = {
    "BM_QtClientAloneToSimProcess/real_time": "Qt's HTTP client alone (GUI thread)",
    "BM_SmallRequestsToSimProcess/real_time": "Ferrylink, one worker (network thread does the I/O)",
    "BM_SmallRequestsToSimProcessFromWorkers/real_time": "Ferrylink, the app's way (worker, result to GUI)",
}
for r in runs:
    us = r["real_time"]
    print(f"{names.get(r['name'], r['name']):58} {us:8.0f} {us / curl:7.2f}")
PY
