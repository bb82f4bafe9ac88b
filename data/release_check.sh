#!/usr/bin/env bash
# The release as the outside sees it agrees with the build: the newest release
# of the metainfo and of the Debian package is the project's version, and
# every screenshot the metainfo names is a picture of docs/images with the
# size it states.
# Usage: release_check.sh SOURCE_DIR VERSION APP_ID
set -uo pipefail
source=$1 version=$2 id=$3
metainfo=$source/data/$id.metainfo.xml
fail() { echo "FAIL: $*"; exit 1; }

newest=$(grep -o -m1 '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)
[[ $newest == "$version" ]] || fail "the metainfo's newest release is '$newest', the project's version $version"

packaged=$(sed -n '1s/^[^ ]* (\([^)-]*\).*/\1/p' "$source/debian/changelog")
[[ $packaged == "$version" ]] || fail "debian/changelog's newest version is '$packaged', the project's version $version"

count=0
while read -r width height url; do
  file=$source/docs/images/${url##*/}
  [[ -f $file ]] || fail "screenshot $url is not in docs/images"
  size=$(identify -format '%wx%h' "$file")
  [[ $size == "${width}x$height" ]] || fail "screenshot $file is $size, the metainfo says ${width}x$height"
  count=$((count + 1))
done < <(sed -n 's|.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">\([^<]*\)</image>.*|\1 \2 \3|p' "$metainfo")
((count >= 3 && count <= 5)) || fail "$count screenshots, a software centre wants three to five"
echo ok
