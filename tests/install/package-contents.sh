#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# cpack's Debian package read back: its dependencies name the runtime packages, and it holds the installed
# tree under /usr.
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; fail cpack; }
deb=$(ls "$tmp"/korvex_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# the package names alone, one a line (versions and alternatives cut off)
names=$(tr ',|' '\n\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
for p in libqt6widgets6 libqt6printsupport6 libqscintilla2-qt6-15 gputils fonts-liberation; do
  grep -qx "$p" <<<"$names" || fail "Depends lacks $p"
done
[[ $(dpkg-deb -f "$deb" Recommends) == gpsim ]] || fail "the package does not recommend gpsim"
[[ $(dpkg-deb -f "$deb" Maintainer) == *"<"*"@"*">" ]] || fail "the Maintainer has no address"
dpkg-deb -c "$deb" | awk '{print $6}' >"$tmp/files"
for f in ./usr/bin/korvex ./usr/lib/korvex/MPASMWIN.EXE ./usr/share/applications/org.tervane.Korvex.desktop \
  ./usr/share/metainfo/org.tervane.Korvex.metainfo.xml \
  ./usr/share/icons/hicolor/256x256/apps/org.tervane.Korvex.png ./usr/share/doc/korvex/examples/blink/blink.pro \
  ./usr/share/doc/korvex/copyright ./usr/share/doc/korvex/changelog.gz ./usr/share/man/man1/korvex.1.gz; do
  grep -qxF "$f" "$tmp/files" || fail "the package lacks $f"
done
# both programs executable for everyone
executable=$(dpkg-deb -c "$deb" | grep -E '^-rwxr-xr-x .* \./usr/(bin/korvex|lib/korvex/MPASMWIN\.EXE)$' | wc -l)
[[ $executable -eq 2 ]] || fail "a program in the package is not executable"
echo "package ok"
