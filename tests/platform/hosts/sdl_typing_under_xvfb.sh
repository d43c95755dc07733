#!/bin/sh
# Types into the test grid's in-place editor in a real SDL window on a
# private Xvfb display, and reads the edits back from the program's output.
# Exit 77 (skipped) when Xvfb or xdotool is missing.
# Usage: sdl_typing_under_xvfb.sh PATH/TO/gridwindow
set -u
app=${1:?usage: $0 GRIDWINDOW}
tools=xdotool
. "$(dirname "$0")/../../support/xvfb_session.sh"

fail() {
  echo "FAIL: $*"
  echo "--- program output:"; cat "$work/out" 2>/dev/null
  echo "--- program errors:"; tail -n 30 "$work/err" 2>/dev/null
  exit 1
}

"$app" --echo --size 640x400 >"$work/out" 2>"$work/err" &
apid=$!
# xdotool can trip over a window that SDL creates and destroys while it
# starts (BadWindow), so the synchronous search is retried.
wid=
for try in 1 2 3 4 5; do
  wid=$(timeout 10 xdotool search --sync --onlyvisible --name "RixDBGrids test grid" 2>/dev/null | head -n 1)
  [ -n "$wid" ] && break
  kill -0 "$apid" 2>/dev/null || break
done
[ -n "$wid" ] || fail "the grid window did not appear"
wait_for 200 grep -q READY "$work/out" || fail "the program did not get ready"
xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"

# The current cell is (1, 1): typing opens the editor there; Enter commits.
xdotool type --window "$wid" --delay 30 "abc"
wait_for 150 grep -q "^EDIT 1 1 abc$" "$work/out" || fail "typed text did not reach the grid"
xdotool key --window "$wid" BackSpace
wait_for 150 grep -q "^EDIT 1 1 ab$" "$work/out" || fail "Backspace did not reach the editor"
xdotool key --window "$wid" Return Down
xdotool type --window "$wid" --delay 30 "xy"
wait_for 150 grep -q "^EDIT 1 2 xy$" "$work/out" || fail "typing in the next row did not reach the grid"
# Japanese text: xdotool maps each character to a spare key code for the
# time of the key; on a loaded machine the program may read the event after
# the mapping is gone and the character is lost, so each one gets three
# tries (a lost key changes nothing, a wrong one fails).
expect="xy"
for ch in 日 本; do
  expect="$expect$ch"
  got=
  for try in 1 2 3; do
    xdotool type --window "$wid" --delay 150 "$ch"
    if wait_for 50 grep -q "^EDIT 1 2 $expect$" "$work/out"; then got=1; break; fi
    tail -n 1 "$work/out" | grep -q "^EDIT 1 2 ${expect%"$ch"}$" || fail "Japanese text arrived wrong"
  done
  [ -n "$got" ] || fail "Japanese text did not reach the grid"
done
echo "PASS: $(grep -c '^EDIT' "$work/out") edits read back"
exit 0
