#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian packages from this build tree with CPack and checks them:
# the file lists, the dependencies, and the desktop entries and metainfo
# (as shipped) against the desktop validators.
# Usage: check_package.sh <build dir> <source dir> <install prefix>
set -euo pipefail
build="$1" source="$2" prefix="${3#/}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The files in the source tree first.
for f in "$source"/data/*.desktop; do
  desktop-file-validate "$f" || fail "desktop entry $f"
done
appstreamcli validate --no-net --explain "$source"/data/com.kestrel.Ferrylink.metainfo.xml \
  || fail "metainfo"

cpack -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; fail "cpack"; }
app=$(ls "$work"/ferrylink_*.deb 2>/dev/null | head -1)
tools=$(ls "$work"/ferrylink-tools_*.deb 2>/dev/null | head -1)
[ -n "$app" ] || fail "no ferrylink package"
[ -n "$tools" ] || fail "no ferrylink-tools package"

dpkg-deb -c "$app" | awk '{print $6}' | sed 's|^\./||' > "$work/app.list"
dpkg-deb -c "$tools" | awk '{print $6}' | sed 's|^\./||' > "$work/tools.list"
expect() {
  grep -qx "$2" "$work/$1.list" || { cat "$work/$1.list"; fail "$1 package lacks $2"; }
}
expect app "$prefix/bin/ferrylink"
expect app "$prefix/bin/sweepdeck"
expect app "$prefix/libexec/ferrylink/purgehand"
expect app "$prefix/share/applications/com.kestrel.Ferrylink.desktop"
expect app "$prefix/share/applications/sweepdeck.desktop"
expect app "$prefix/share/metainfo/com.kestrel.Ferrylink.metainfo.xml"
expect app "$prefix/share/icons/hicolor/scalable/apps/com.kestrel.Ferrylink.svg"
expect app "$prefix/share/polkit-1/actions/com.kestrel.purgehand.policy"
expect app "$prefix/share/ferrylink/sweepdeck.keys"
expect app "$prefix/share/ferrylink/install-manifest.txt"
expect app "$prefix/share/doc/ferrylink/copyright"
expect app "$prefix/share/ferrylink/LICENSE"
expect tools "$prefix/bin/nas-sim"
expect tools "$prefix/share/doc/ferrylink-tools/copyright"
! grep -q "nas-sim" "$work/app.list" || fail "the simulated NAS is in the application package"
! grep -q "bin/ferrylink$" "$work/tools.list" || fail "the application is in the tools package"

# Dependencies found by the library scan (Qt) plus the run-time plug-ins.
depends=$(dpkg-deb -f "$app" Depends)
echo "Depends: $depends"
for d in libqt6widgets6 libqt6network6 libqt6dbus6 libavahi-client3 qt6-qpa-plugins libqt6svg6; do
  echo "$depends" | grep -q "$d" || fail "ferrylink does not depend on $d"
done
dpkg-deb -f "$tools" Depends | grep -q "libssl" || fail "ferrylink-tools does not depend on libssl"

# What the package ships validates too, and the manifest names the files
# where the package puts them.
dpkg-deb -x "$app" "$work/root"
desktop-file-validate "$work/root/$prefix/share/applications/"*.desktop || fail "shipped desktop entries"
appstreamcli validate --no-net "$work/root/$prefix/share/metainfo/com.kestrel.Ferrylink.metainfo.xml" \
  || fail "shipped metainfo"
grep -qx "bin/ferrylink" "$work/root/$prefix/share/ferrylink/install-manifest.txt" \
  || fail "manifest does not list bin/ferrylink"
grep -q "$work" "$work/root/$prefix/share/ferrylink/install-manifest.txt" \
  && fail "manifest names the staging folder"
echo "packages ok: $(basename "$app") $(basename "$tools")"
