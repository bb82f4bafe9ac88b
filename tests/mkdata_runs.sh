#!/usr/bin/env bash
# kolbet-mkdata run as a program: equal runs give equal files, the game's
# inspector reads what it writes, and failures leave no data file behind.
# Usage: mkdata_runs.sh MKDATA INSPECT CHECK RUN_DIR   (CHECK: same, inspect, failures;
# RUN_DIR, the folder `make` generated into, is read by "inspect")
set -uo pipefail
mkdata=$1 inspect=$2 check=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

case $check in
same)
  "$mkdata" "$work/a" || fail "first run"
  "$mkdata" "$work/b" || fail "second run"
  files=$(cd "$work/a" && ls -A)
  [[ $files == "$(cd "$work/b" && ls -A)" ]] || fail "the runs wrote different files"
  for f in $files; do cmp -s "$work/a/$f" "$work/b/$f" || fail "$f differs between runs"; done
  ls -A "$work/a" | grep -q '\.part$' && fail "a temporary file was left behind"
  [[ -f $work/a/kolbet.dat && -f $work/a/kolbet-hd.dat && -f $work/a/Kolbet.snd ]] || fail "a pack or the bank missing"
  (( $(ls "$work/a" | grep -c '\.kbm$') >= 2 )) || fail "fewer than two music files"
  ;;
inspect)
  dir=$4
  for pack in kolbet.dat kolbet-hd.dat; do
    out=$("$inspect" --pack "$dir/$pack") || fail "$pack: $out"
    (( $(grep -c '^picture [0-9]* [0-9]*x[0-9]*$' <<<"$out") == 39 )) || fail "$pack: not 39 pictures"
  done
  out=$("$inspect" --bank "$dir/Kolbet.snd") || fail "bank: $out"
  (( $(grep -c '^item ' <<<"$out") >= 78 )) || fail "bank: fewer than 78 items"
  grep -q ' empty$' <<<"$out" && fail "bank: an item without a wave"
  # Speech in one format: 22050 Hz, 16-bit, mono.
  speech=$(grep -v '^item 57 ' <<<"$out")
  grep -v 'channels=1 rate=22050 bits=16 ' <<<"$speech" && fail "bank: speech in another format"
  for f in "$dir"/*.kbm; do
    line=$("$inspect" --wave "$f") || fail "$f: $line"
    [[ $line =~ channels=([0-9]+)\ rate=([0-9]+)\ bits=([0-9]+)\ bytes=([0-9]+) ]] || fail "$f: $line"
    seconds=$(( BASH_REMATCH[4] / (BASH_REMATCH[1] * BASH_REMATCH[2] * BASH_REMATCH[3] / 8) ))
    (( seconds >= 20 && seconds <= 60 )) || fail "$f lasts $seconds s"
  done
  ;;
failures)
  # A data file that cannot be written: its temporary name is taken by a folder.
  mkdir -p "$work/blocked/.Kolbet.snd.part"
  msg=$("$mkdata" "$work/blocked" 2>&1) && fail "wrote past a blocked file"
  grep -q 'cannot write .*Kolbet.snd' <<<"$msg" || fail "unclear message: $msg"
  [[ ! -e $work/blocked/Kolbet.snd ]] || fail "a bank appeared although it could not be written"
  msg=$("$mkdata" /dev/null/x 2>&1) && fail "made a folder under /dev/null"
  grep -q 'cannot make the folder' <<<"$msg" || fail "unclear message: $msg"
  # Without the speech synthesiser nothing is written.
  msg=$(PATH=/nonexistent "$mkdata" "$work/mute" 2>&1) && fail "ran without espeak-ng"
  grep -q 'espeak-ng' <<<"$msg" || fail "unclear message: $msg"
  [[ -z $(ls -A "$work/mute") ]] || fail "files written without speech"
  # Files of an earlier run stay as they were.
  mkdir -p "$work/old" && echo old >"$work/old/kolbet.dat"
  PATH=/nonexistent "$mkdata" "$work/old" 2>/dev/null
  [[ $(cat "$work/old/kolbet.dat") == old ]] || fail "an old pack was replaced by a failed run"
  "$mkdata" 2>/dev/null && fail "ran without a folder"
  ;;
*) fail "unknown check $check" ;;
esac
echo ok
