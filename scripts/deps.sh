#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages Ferrylink needs, only those that are missing.
# Usage: scripts/deps.sh build|test|run|package
set -euo pipefail

build_pkgs=(cmake ninja-build g++ pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  qt6-svg-dev libgl-dev libcpp-httplib-dev libssl-dev libavahi-client-dev
  libgtest-dev libbenchmark-dev libsimdjson-dev qtkeychain-qt6-dev)
test_pkgs=(avahi-daemon dbus dbus-session-bus-common xvfb xauth imagemagick xdotool desktop-file-utils libxml2-utils
  clang-14 libfuzzer-14-dev appstream dpkg-dev file gnome-keyring qt6-gtk-platformtheme)
run_pkgs=(qt6-qpa-plugins libqt6svg6 pkexec libsecret-1-0)
package_pkgs=(dpkg-dev file)

want=("${build_pkgs[@]}")
case "${1:-build}" in
  test) want+=("${test_pkgs[@]}") ;;
  run) want+=("${run_pkgs[@]}") ;;
  package) want+=("${package_pkgs[@]}") ;;
esac

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
