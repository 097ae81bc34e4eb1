#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Ferrylink and runs it against the simulated NAS with a demo profile
# (its own defaults file, the simulated NAS saved as the default server).
# Extra arguments go to Ferrylink.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
build=build
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFERRYLINK_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

http_port=${NAS_SIM_PORT:-8000}
https_port=${NAS_SIM_HTTPS_PORT:-8001}
demo="$build/demo"
mkdir -p "$demo"
chmod 700 "$demo"
profile="$demo/defaults.json"
# (Re)written when missing or when it points the simulator at another port.
if [ ! -f "$profile" ] || ! grep -q "\"port\": \"$http_port\"" "$profile"; then
  cat > "$profile" <<JSON
{
  "com.kestrel.flk.favorites": [
    {"host": "127.0.0.1", "port": "$http_port", "account": "admin", "password": "admin",
     "use_https": false, "is_cloud_id": false, "default": 1, "server_name": "nas-sim"}
  ]
}
JSON
  chmod 600 "$profile"
fi

"$build/tools/nas-sim/nas-sim" --port "$http_port" --https-port "$https_port" \
  --log "$demo/nas-requests.jsonl" --mdns "Ferrylink demo NAS" &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null || true' EXIT
sleep 0.5
echo "Ferrylink demo profile: $profile (the simulated NAS log is $demo/nas-requests.jsonl)"
FERRYLINK_DEFAULTS="$profile" "$build/ferrylink" "$@"
