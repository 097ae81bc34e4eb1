#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Ferrylink developers
#
# Resident memory of the whole application (offscreen) showing N tasks of a
# simulated NAS that runs as its own process, after it polled for a while.
#
#   bench/app-memory.sh [build-dir] [tasks...]     (default: build-bench 0 1000 10000 50000)
set -euo pipefail
build=${1:-build-bench}
shift || true
counts=("$@")
[[ ${#counts[@]} -gt 0 ]] || counts=(0 1000 10000 50000)
for exe in "$build/ferrylink" "$build/tools/nas-sim/nas-sim"; do
    [[ -x $exe ]] || { echo "missing $exe" >&2; exit 2; }
done
printf '%8s %12s %12s %12s\n' tasks 'RSS MiB' 'RSS max' 'peak MiB'
for n in "${counts[@]}"; do
    dir=$(mktemp -d)
    "$build/tools/nas-sim/nas-sim" --port 0 --https-port -1 --set "tasks=$n" >"$dir/sim.out" 2>&1 &
    sim=$!
    port=
    for _ in $(seq 100); do
        port=$(grep -o '127\.0\.0\.1:[0-9]*' "$dir/sim.out" | head -1 | cut -d: -f2 || true)
        [[ -n $port ]] && break
        sleep 0.1
    done
    cat >"$dir/defaults.json" <<JSON
{"com.kestrel.flk.favorites":[{"host":"127.0.0.1","port":"$port","account":"admin","password":"admin","use_https":false,"is_cloud_id":false,"default":1,"server_name":"nas-sim"}]}
JSON
    mkdir -p "$dir/state" "$dir/cache" "$dir/run"
    chmod 700 "$dir/run"
    FERRYLINK_DEFAULTS="$dir/defaults.json" XDG_STATE_HOME="$dir/state" XDG_CACHE_HOME="$dir/cache" \
        XDG_RUNTIME_DIR="$dir/run" FERRYLINK_KEYRING=off QT_QPA_PLATFORM=offscreen \
        "$build/ferrylink" >"$dir/app.out" 2>&1 &
    app=$!
    sleep 20 # sign-in, the first list and three polls
    # One sample a second for 15 s (three more polls): a single sample may
    # land in the middle of a poll or just after memory was given back.
    samples=()
    for _ in $(seq 15); do
        samples+=("$(awk '/VmRSS/ {print $2}' "/proc/$app/status")")
        sleep 1
    done
    hwm=$(awk '/VmHWM/ {print $2}' "/proc/$app/status")
    median=$(printf '%s\n' "${samples[@]}" | sort -n | sed -n 8p)
    most=$(printf '%s\n' "${samples[@]}" | sort -n | tail -1)
    printf '%8s %12.1f %12.1f %12.1f\n' "$n" "$(awk -v k="$median" 'BEGIN { print k / 1024 }')" \
        "$(awk -v k="$most" 'BEGIN { print k / 1024 }')" "$(awk -v k="$hwm" 'BEGIN { print k / 1024 }')"
    kill "$app" "$sim" 2>/dev/null || true
    wait "$app" "$sim" 2>/dev/null || true
    rm -rf "$dir"
done
