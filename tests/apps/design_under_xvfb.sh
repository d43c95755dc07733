#!/bin/sh
# rixgrid design in real SDL windows on a private Xvfb display: the grid's
# window and the columns editor's window both open; a title click selects
# its column; a click on the editor's "add" button and Ctrl+S write the form
# file back with one more column.
# Exit 77 (skipped) when Xvfb or xdotool is missing.
# Usage: design_under_xvfb.sh PATH/TO/rixgrid SHOP.DB FORMFILE
set -u
app=${1:?usage: $0 RIXGRID DB FORMFILE}
db=${2:?usage: $0 RIXGRID DB FORMFILE}
form=${3:?usage: $0 RIXGRID DB FORMFILE}
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -f "$db" ] || { echo "SKIP: the sample database is not built"; exit 77; }

work=$(mktemp -d)
xpid= apid=
cleanup() {
  [ -n "$apid" ] && kill "$apid" 2>/dev/null && wait "$apid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null && wait "$xpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

fail() {
  echo "FAIL: $*"
  echo "--- program output:"; cat "$work/out" 2>/dev/null
  echo "--- program errors:"; tail -n 30 "$work/err" 2>/dev/null
  exit 1
}

wait_for() {
  tries=$1; shift
  while [ "$tries" -gt 0 ]; do
    "$@" && return 0
    sleep 0.1
    tries=$((tries - 1))
  done
  return 1
}

find_window() {
  w=
  for try in 1 2 3 4 5; do
    w=$(timeout 10 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$w" ] && break
    kill -0 "$apid" 2>/dev/null || break
  done
  echo "$w"
}

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -r 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xpid=$!
wait_for 150 grep -qs '[0-9]' "$work/display" || fail "no Xvfb display came up: $(cat "$work/xvfb.log")"
export DISPLAY=":$(tr -dc '0-9' <"$work/display")"
export SDL_VIDEODRIVER=x11
export ASAN_OPTIONS=detect_leaks=0

cp "$form" "$work/form.txt"
before=$(grep -c '^    item$' "$work/form.txt")
"$app" design "$db" --table products --form "$work/form.txt" >"$work/out" 2>"$work/err" &
apid=$!
grid=$(find_window "rixgrid design")
[ -n "$grid" ] || fail "the grid's window did not appear"
editor=$(find_window "^Columns$")
[ -n "$editor" ] || fail "the columns editor's window did not appear"
[ "$grid" != "$editor" ] || fail "one window, not two"

# A click on the title of the third column ("価格(円)", in the first title
# row) selects that column.
sleep 0.5
xdotool mousemove --window "$grid" 320 8 click 1
wait_for 100 grep -q "^selected column 2$" "$work/out" || fail "the title click selected no column"

# The add button is the tool bar's first: 2 pixels in, 23 x 22.
xdotool mousemove --window "$editor" 13 13 click 1
xdotool windowfocus --sync "$editor" 2>/dev/null || xdotool windowfocus "$editor"
xdotool key --window "$editor" ctrl+s
wait_for 100 grep -q "^saved " "$work/out" || fail "Ctrl+S wrote nothing"
after=$(grep -c '^    item$' "$work/form.txt")
[ "$after" -eq $((before + 1)) ] || fail "the form file has $after columns, expected $((before + 1))"
echo "PASS: $before columns before, $after after"
exit 0
