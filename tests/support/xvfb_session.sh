# Shared by the tests that drive a real SDL window on a private Xvfb display.
# Source it after setting `tools` (the commands the test needs); it skips the
# test (exit 77) when one is missing, makes $work, starts Xvfb with DISPLAY
# and SDL_VIDEODRIVER set, and on exit stops $apid (the program under test,
# when the test set it) and Xvfb and removes $work.
for tool in Xvfb $tools; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
xpid= apid=
cleanup() {
  [ -n "$apid" ] && kill "$apid" 2>/dev/null && wait "$apid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null && wait "$xpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

# Waits up to $1 tenths of a second for the command in the other arguments.
wait_for() {
  tries=$1; shift
  while [ "$tries" -gt 0 ]; do
    "$@" && return 0
    sleep 0.1
    tries=$((tries - 1))
  done
  return 1
}

# Xvfb picks a free display itself and writes its number once it is ready.
# No auto-repeat: on a loaded machine xdotool's release of a key can come
# later than the repeat delay, and the repeated key lands in whatever
# window opened meanwhile (a dialog answered by a second Return).
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -r 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xpid=$!
if ! wait_for 150 grep -qs '[0-9]' "$work/display"; then
  echo "FAIL: no Xvfb display came up: $(cat "$work/xvfb.log")"
  exit 1
fi
DISPLAY=":$(tr -dc '0-9' <"$work/display")"
SDL_VIDEODRIVER=x11
export DISPLAY SDL_VIDEODRIVER
