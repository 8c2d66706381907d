#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# cmake --install into a temporary prefix: every file where a desktop looks for it, the desktop entry and
# the AppStream file valid, and the tree, moved elsewhere, still starts and finds its gpasm front end.
set -euo pipefail
build=$1
id=org.tervane.Korvex
tmp=$(mktemp -d)
pid=
cleanup() {
  [[ -n $pid ]] && kill "$pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$tmp/usr" >/dev/null
cd "$tmp/usr"

for f in bin/korvex lib/korvex/MPASMWIN.EXE; do
  [[ -f $f && -x $f ]] || fail "$f is missing or not executable"
done
for f in share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
  share/icons/hicolor/scalable/apps/$id.svg share/doc/korvex/README.md share/doc/korvex/docs/quickstart.png share/doc/korvex/docs/simulate.png \
  share/doc/korvex/examples/blink/blink.pro share/doc/korvex/examples/blink/blink.asm \
  share/doc/korvex/examples/counter/counter.pro share/doc/korvex/examples/counter/counter.asm \
  share/doc/korvex/examples/counter/delay.inc; do
  [[ -s $f ]] || fail "$f is missing or empty"
done
# the icons are PNG files of the size their folder names (width and height from the IHDR chunk)
for size in 48 256; do
  png=share/icons/hicolor/${size}x${size}/apps/$id.png
  [[ -s $png ]] || fail "$png is missing"
  [[ $(head -c 8 "$png" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] || fail "$png is no PNG file"
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [[ $dims == "${size}x${size}" ]] || fail "$png is $dims"
done
grep -qx 'Exec=korvex' share/applications/$id.desktop || fail "the desktop entry does not start korvex"
grep -qx "Icon=$id" share/applications/$id.desktop || fail "the desktop entry names another icon"
desktop-file-validate share/applications/$id.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net share/metainfo/$id.metainfo.xml >"$tmp/appstream.log" 2>&1 ||
  { cat "$tmp/appstream.log"; fail "appstreamcli validate"; }
# no build outputs of the examples went along
[[ -z $(find share/doc/korvex/examples -name '*.hex' -o -name '*.err' -o -name '.gitignore') ]] ||
  fail "build outputs among the installed examples"

# moved elsewhere, the program stores the front end beside it as the assembler on its first run
cd "$tmp"
mv usr "moved tree"
bin="$tmp/moved tree/bin/korvex"
frontend="$tmp/moved tree/lib/korvex/MPASMWIN.EXE"
KORVEX_CONFIG_HOME="$tmp/config" "$bin" >"$tmp/korvex.log" 2>&1 &
pid=$!
for _ in $(seq 300); do  # up to 30 s on a busy machine
  grep -qF "$frontend" "$tmp/config/machine.ini" 2>/dev/null && break
  kill -0 "$pid" 2>/dev/null || { cat "$tmp/korvex.log"; fail "korvex ended at start"; }
  sleep 0.1
done
grep -qF "$frontend" "$tmp/config/machine.ini" 2>/dev/null ||
  { cat "$tmp/config/machine.ini" "$tmp/korvex.log" 2>/dev/null; fail "the front end was not stored"; }
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=

# and that front end builds the installed example (copied out of the read-only documentation)
if command -v gpasm >/dev/null; then
  cp -r "$tmp/moved tree/share/doc/korvex/examples/blink" "$tmp/blink"
  cd "$tmp/blink"
  "$frontend" /q /e+ /l+ /x- /c- /p16F84A blink.asm || fail "the installed front end failed"
  [[ -s blink.hex && ! -s blink.err ]] || fail "the installed front end left no clean build"
  head -c 1 blink.hex | grep -q ':' || fail "blink.hex is no Intel HEX file"
fi
echo "install layout ok"
