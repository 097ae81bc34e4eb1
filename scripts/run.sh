#!/usr/bin/env bash
# Builds Ferrylink and runs it against the simulated NAS.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
build=build
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFERRYLINK_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

http_port=${NAS_SIM_PORT:-8000}
https_port=${NAS_SIM_HTTPS_PORT:-8001}
if [ ! -x "$build/ferrylink" ]; then
  echo "The Ferrylink window is not built yet; starting the simulated NAS on its own."
  echo "Press Ctrl+C to stop it."
  exec "$build/tools/nas-sim/nas-sim" --port "$http_port" --https-port "$https_port" "$@"
fi
