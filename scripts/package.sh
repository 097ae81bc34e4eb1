#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian packages: ferrylink (the application, Sweepdeck and
# Purgehand) and ferrylink-tools (the simulated NAS), into build-deb/.
# Usage: scripts/package.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-deb}"
bash scripts/deps.sh package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DFERRYLINK_TESTS=OFF -DFERRYLINK_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB)
ls -1 "$build"/*.deb
