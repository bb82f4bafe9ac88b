#!/usr/bin/env bash
# `cmake --install` into a scratch folder (DESTDIR), and into another prefix:
# every file lands where the desktop looks for it, and the desktop entry starts
# the game in the folder that holds its data files.
# Usage: install_check.sh BUILD PREFIX DATADIR BINDIR APP_ID
set -uo pipefail
build=$1 prefix=$2 datadir=$3 bindir=$4 id=$5
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR=$root cmake --install "$build" >"$root.log" 2>&1 || { cat "$root.log"; rm -f "$root.log"; fail "cmake --install"; }
rm -f "$root.log"
share=$root$prefix/$datadir
data=$share/brivlo-kolbet

for f in kolbet.dat kolbet-hd.dat Kolbet.snd Landler.kbm Wirtshauswalzer.kbm Kolbet.html; do
  [[ -s $data/$f ]] || fail "$f missing in $data"
  cmp -s "$data/$f" "$build/run/$f" || fail "$f differs from the one in $build/run"
done
# Only the game's own files go into its data folder.
extra=$(cd "$data" && ls -A | grep -v -E '^(kolbet\.dat|kolbet-hd\.dat|Kolbet\.snd|.*\.kbm|Kolbet\.html)$')
[[ -z $extra ]] || fail "unexpected files in the data folder: $extra"

desktop=$share/applications/$id.desktop
[[ -f $desktop ]] || fail "no desktop entry $desktop"
grep -qx "Path=$prefix/$datadir/brivlo-kolbet" "$desktop" || fail "the desktop entry does not start in the data folder"
grep -qx "Exec=$prefix/$bindir/brivlo-kolbet" "$desktop" || fail "the desktop entry runs something else"
grep -qx "Icon=brivlo-kolbet" "$desktop" || fail "the desktop entry names another icon"
[[ -f $share/metainfo/$id.metainfo.xml ]] || fail "no metainfo"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$share/metainfo/$id.metainfo.xml" \
  || fail "the metainfo does not launch the desktop entry"

for size in 16 24 32 48 64 128 256; do
  for icon in $share/icons/hicolor/${size}x$size/{apps/brivlo-kolbet,mimetypes/audio-x-kolbet-musi}.png; do
    [[ -f $icon ]] || fail "no icon $icon"
    [[ $(identify -format '%wx%h %[channels]' "$icon") == "${size}x$size srgba" ]] \
      || fail "icon $icon is not a ${size}x$size picture with transparency"
  done
done
# The music files' type for the whole system, as the game registers it per user.
grep -q '<glob pattern="\*\.kbm"/>' "$share/mime/packages/brivlo-kolbet.xml" 2>/dev/null \
  || fail "no MIME entry for *.kbm in $share/mime/packages"

[[ -x $root$prefix/$bindir/brivlo-kolbet ]] || fail "the program is not installed in $bindir"
grep -q "^\.IR $prefix/$datadir/brivlo-kolbet " "$share/man/man6/brivlo-kolbet.6" \
  || fail "no manual page naming the data folder"

# Into another prefix than the configured one (with a blank in its name): the
# desktop entry then starts the game in that prefix's data folder.
other="$root/other prefix"
cmake --install "$build" --prefix "$other" >"$root.log" 2>&1 || { cat "$root.log"; rm -f "$root.log"; fail "cmake --install --prefix"; }
rm -f "$root.log"
grep -qx "Path=$other/$datadir/brivlo-kolbet" "$other/$datadir/applications/$id.desktop" \
  || fail "the desktop entry installed with --prefix does not start in that prefix's data folder"
grep -qx "Exec=\"$other/$bindir/brivlo-kolbet\"" "$other/$datadir/applications/$id.desktop" \
  || fail "the desktop entry installed with --prefix does not run that prefix's program, quoted"
[[ -s $other/$datadir/brivlo-kolbet/kolbet.dat ]] || fail "no data files under the other prefix"

# The rules page stands alone: no pictures, style sheets or scripts fetched.
grep -q -i -E '(src|href)=|url\(|@import|<script' "$data/Kolbet.html" && fail "the rules page loads other files"
echo ok
