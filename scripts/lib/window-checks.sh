# Shell functions shared by the checks that drive the game in a real window
# (tests/sdl/window_test.sh, scripts/test-windows). Source it.

# make_work_folder: a new temporary folder in $work; on exit the game
# ($game_pid) and the virtual display are stopped and the folder goes.
make_work_folder() {
  work=$(mktemp -d)
  game_pid=""
  virtual_display_pid=""
  trap stop_window_check EXIT
}
stop_window_check() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$virtual_display_pid" ] && kill "$virtual_display_pid" 2>/dev/null || true
  rm -rf "$work"
}

# start_virtual_display DIR [SCREEN]: starts Xvfb (screen WxHxD, default
# 1024x768x24) on a display number it picks itself, exports DISPLAY and sets
# virtual_display_pid for the caller to stop. Its log is DIR/xvfb.log.
start_virtual_display() {
  local dir=$1 screen=${2:-1024x768x24}
  : >"$dir/display"
  # Xvfb writes the display number it took to fd 3 once it is ready.
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
  virtual_display_pid=$!
  local _
  for _ in $(seq 100); do
    [ -s "$dir/display" ] && break
    sleep 0.1
  done
  [ -s "$dir/display" ] || { echo "no virtual display: $(cat "$dir/xvfb.log")" >&2; return 1; }
  DISPLAY=":$(head -n 1 "$dir/display")"
  export DISPLAY
}

# wait_until SECONDS COMMAND...: true as soon as COMMAND is (tried every
# 0.2 s), false if it still is not after SECONDS. A slow machine or a
# sanitized build may take a while to get to a screen; no fixed sleeps.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  while ! "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

# wait_for SECONDS COMMAND...: the same wait, for a COMMAND that prints what
# it finds: prints what it printed the time it succeeded.
wait_for() {
  local deadline=$((SECONDS + $1)) found
  shift
  until found=$("$@"); do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
  printf '%s\n' "$found"
}
