#!/usr/bin/env bash
# kolbet-sim's network seats on real sockets over loopback: two seats play a
# game to its end with consistent transcripts, again with equal ones; a join
# of a session nobody hosts fails with the service's text; a peer killed in
# the middle of the game, or stopped there without closing its connection,
# leaves the other seat waiting within 10 seconds.
# Usage: sim_network.sh KOLBET_SIM CHECK   (on a free port of its own)
#   (CHECK: play, notfound, killed-guest, killed-host, stopped-guest, stopped-host)
set -uo pipefail
sim=$1 check=$2
port=$(python3 "$(dirname "$0")/free_port.py") || { echo "FAIL: no free port"; exit 1; }
work=$(mktemp -d)
pids=()
# Kills a seat and reaps it, without the shell's note of the killing.
stop() { { kill -9 "$1" && wait "$1"; } 2>/dev/null; }
trap 'for p in "${pids[@]}"; do stop "$p"; done; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Waits up to $3 seconds until file $1 holds a line matching $2.
wait_for() {
  local deadline=$((SECONDS + $3))
  until grep -q -- "$2" "$1"; do
    (( SECONDS < deadline )) || return 1
    sleep 0.05
  done
}

# Host and guest play 20 hands; transcripts in $1.host and $1.guest. The
# guest searches the machine $2, or the local network when it is empty.
play() {
  "$sim" --host Wirt --seed 11 --hands 20 --port "$port" >"$1.host" 2>"$1.host.err" &
  local host=$!
  pids+=("$host")
  wait_for "$1.host" '^state 7 ' 5 || fail "the host did not open its session"
  "$sim" --join Wirt ${2:+--address "$2"} --seed 12 --port "$port" >"$1.guest" 2>"$1.guest.err" \
    || fail "the guest exited $?: $(cat "$1.guest.err")"
  wait "$host" || fail "the host exited $?: $(cat "$1.host.err")"
}

# Every message one side sent is received by the other, in order; the guest's
# last move may go out after the host has left. After each status the guest's
# table is the host's with the seats swapped.
consistent() {
  local h=$1.host g=$1.guest
  diff <(grep '^send' "$h" | sed 's/^send/recv/') <(grep '^recv' "$g") >/dev/null \
    || fail "the guest did not receive what the host sent"
  local got=$(grep -c '^recv' "$h") sent=$(grep -c '^send' "$g")
  diff <(grep '^recv' "$h") <(grep '^send' "$g" | head -n "$got" | sed 's/^send/recv/') >/dev/null \
    || fail "the host did not receive what the guest sent"
  (( sent - got <= 1 )) || fail "the guest sent $((sent - got)) messages after the host left"
  awk '
    expect != "" { if ($0 !~ expect) { print "FAIL: line " NR " is not the mirrored status: " $0; bad = 1 } expect = "" }
    /^recv status / {
      p = $12 " " $13 " " $14 " " $15 " " $16 " " $17 " " $19 " " $20
      o = $3 " " $4 " " $5 " " $6 " " $7 " " $8 " " $10 " " $11
      expect = "^state [0-9]+ " $21 " P " p " O " o "$"; statuses++
    }
    END { if (statuses < 100) { print "FAIL: only " statuses " statuses"; bad = 1 } exit bad }' "$g" || exit 1
  for f in "$h" "$g"; do
    [[ $(head -n 1 "$f") == name\ * ]] || fail "$f does not begin with the name"
    [[ $(tail -n 1 "$f") == end\ P\ *\ O\ * ]] || fail "$f does not end with the points"
  done
  [[ $(grep -c '^join$' "$h") == 1 && $(grep -c '^leave$' "$g") == 1 ]] || fail "join or leave missing"
  [[ $(tail -n 1 "$h") =~ ^end\ P\ ([0-9]+)\ O\ ([0-9]+)$ ]] && (( BASH_REMATCH[1] + BASH_REMATCH[2] == 20 )) \
    || fail "the host did not stop after 20 hands: $(tail -n 1 "$h")"
}

case $check in
play)
  play "$work/a" 127.0.0.1
  consistent "$work/a"
  play "$work/b" ""
  cmp -s "$work/a.host" "$work/b.host" || fail "the host's transcript changed between equal runs"
  cmp -s "$work/a.guest" "$work/b.guest" || fail "the guest's transcript changed between equal runs"
  ;;
notfound)
  start=$SECONDS
  "$sim" --join Niemand --address 127.0.0.1 --seed 1 --port "$port" >"$work/out" 2>"$work/err" && fail "the join succeeded"
  [[ $(cat "$work/err") == "Session 'Niemand' not found" ]] || fail "error text: $(cat "$work/err")"
  (( SECONDS - start <= 13 )) || fail "gave up only after $((SECONDS - start)) s"
  [[ $(cat "$work/out") == name\ * ]] || fail "output: $(cat "$work/out")"
  ;;
killed-guest | killed-host | stopped-guest | stopped-host)
  # Killed: its connection ends at once. Stopped: it stays open but silent,
  # and only the keep-alive tells.
  halt() { if [[ $check == killed-* ]]; then stop "$1"; else kill -STOP "$1"; fi; }
  "$sim" --host Wirt --seed 21 --hands 100000000 --port "$port" >"$work/host" 2>&1 &
  host=$!
  pids+=("$host")
  wait_for "$work/host" '^state 7 ' 5 || fail "the host did not open its session: $(tail -n 3 "$work/host")"
  "$sim" --join Wirt --address 127.0.0.1 --seed 22 --port "$port" >"$work/guest" 2>&1 &
  guest=$!
  pids+=("$guest")
  wait_for "$work/host" '^join$' 15 || fail "the guest did not join"
  sleep 0.3
  if [[ $check == *-guest ]]; then
    halt "$guest"
    wait_for "$work/host" '^leave$' 10 || fail "the host did not notice the guest leaving"
    after=$(grep -A 1 '^leave$' "$work/host" | tail -n 1)
    [[ $after == state\ 7\ * ]] || fail "after leave: $after"
    sleep 0.3
    kill -0 "$host" || fail "the host did not wait for another player"
    [[ $(tail -n 1 "$work/host") == state\ 7\ * ]] || fail "the host went on: $(tail -n 1 "$work/host")"
  else
    halt "$host"
    wait_for "$work/guest" '^leave$' 10 || fail "the guest did not notice the host leaving"
    wait "$guest" || fail "the guest exited $?"
    after=$(grep -A 1 '^leave$' "$work/guest" | tail -n 1)
    [[ $after == state\ 7\ * ]] || fail "after leave: $after"
    [[ $(tail -n 1 "$work/guest") == end\ P\ *\ O\ * ]] || fail "the guest did not end: $(tail -n 1 "$work/guest")"
  fi
  ;;
*)
  fail "unknown check $check"
  ;;
esac
echo ok
