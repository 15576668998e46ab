#!/usr/bin/env bash
# The Linux program in a real window: Xvfb for the display, xdotool for the
# keys, ImageMagick for the screenshots. The title, at 640 x 480 and made
# larger; D through the title screens into the first level, a look at the
# level screen, then Escape: the game-over picture, and the program ends
# with status 0.
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/window-checks.sh"
build=${1:?build directory}
for tool in Xvfb xdotool xwininfo import convert; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

make_work_folder

start_virtual_display "$work" 1600x1200x24

pixel() {  # pixel FILE X Y -> "R,G,B"
  convert "$1" -format '%[fx:int(255*p{'"$2"','"$3"'}.r)],%[fx:int(255*p{'"$2"','"$3"'}.g)],%[fx:int(255*p{'"$2"','"$3"'}.b)]' info:
}
fail() {
  echo "FAIL: $*"
  [ -s "$work/err.txt" ] && { echo "standard error of the game:"; grep -v "^    #[0-9]* 0x[0-9a-f]* in .*(/usr/lib" "$work/err.txt" | head -n 60; }
  exit 1
}

cd "$build"
SDL_AUDIODRIVER=dummy ./zummertock --record "$work/session.rec" >"$work/out.txt" 2>"$work/err.txt" &
game_pid=$!
window=$(timeout 20 xdotool search --sync --name '^QQQQQQQQ$' | head -n 1) || fail "no window"
size=$(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
[ "$size" = "640x480" ] || fail "client area is $size, not 640x480"

shot() { import -silent -window "$window" "$work/$1.png"; }

# The upper panel at logical (10, 10): its black and white pixels take the
# first level's dark and light colours.
read -r dx dy < <(convert resources/panel.png txt:- | awk -F'[,: ]+' '/#000000FF/ { print $1, $2; exit }')
read -r lx ly < <(convert resources/panel.png txt:- | awk -F'[,: ]+' '/#FFFFFFFF/ { print $1, $2; exit }')

# shot_shows NAME X Y RGB: a shot whose pixel at X, Y is RGB.
shot_shows() {
  shot "$1"
  [ "$(pixel "$work/$1.png" "$2" "$3")" = "$4" ]
}

# The title screen is drawn once the game has loaded: its prompts' white.
title_shown() {
  shot title
  local white
  white=$(convert "$work/title.png" txt:- | grep -c '#FFFFFF' || true)
  [ "${white:-0}" -gt 0 ]
}
wait_until 30 title_shown || fail "the title screen never showed"

# Made larger, the window shows the same picture at the largest whole zoom
# that fits: at 1280 x 960 each logical pixel is 4 x 4, the 640 x 480
# picture's 2 x 2 blocks twice as large.
convert "$work/title.png" -scale 200% "$work/title-x2.png"
at_zoom_4() {
  shot title4
  [ "$(identify -format %wx%h "$work/title4.png")" = 1280x960 ] &&
    [ "$(compare -metric AE "$work/title-x2.png" "$work/title4.png" null: 2>&1)" = 0 ]
}
xdotool windowmove --sync "$window" 0 0
xdotool windowsize --sync "$window" 1280 960
wait_until 10 at_zoom_4 || fail "at 1280 x 960 the title is not shown at zoom 4"
xdotool windowsize --sync "$window" 640 480
# (The window may still show a frame drawn at the old size for a moment.)
back_as_it_was() {
  shot back
  [ "$(compare -metric AE "$work/title.png" "$work/back.png" null: 2>&1)" = 0 ]
}
wait_until 10 back_as_it_was || fail "back at 640 x 480 the title is not as it was"
# The prompts screen draws the night backdrop where the title showed the
# grey clear colour (and the flash between them black).
prompts_shown() {
  shot prompts
  case "$(pixel "$work/prompts.png" 4 4)" in
    38,38,38 | 0,0,0) return 1 ;;
  esac
}
xdotool key --window "$window" d        # title -> flash -> prompts
wait_until 30 prompts_shown || fail "the prompts never showed"
xdotool key --window "$window" d        # prompts -> black pause -> the first level
wait_until 20 shot_shows level $((2 * (10 + dx))) $((2 * (10 + dy))) "179,0,16" ||
  fail "panel dark colour"
[ "$(pixel "$work/level.png" $((2 * (10 + lx))) $((2 * (10 + ly))))" = "255,121,121" ] || fail "panel light colour"
# The title screen is something else entirely.
[ "$(pixel "$work/title.png" $((2 * (10 + dx))) $((2 * (10 + dy))))" != "179,0,16" ] || fail "title screen"

# A held run through the first level (held all along): once the walker has
# slid in, D down until the second level's colours show.
sleep 1
xdotool keydown --window "$window" d
wait_until 20 shot_shows level1 $((2 * (10 + dx))) $((2 * (10 + dy))) "169,12,167" ||
  fail "a held run did not lead to the second level"
xdotool keyup --window "$window" d

xdotool keydown --window "$window" Escape
# The picture stays while the game-over sound plays (over 2 s).
gx=40 gy=40
wait_until 2 shot_shows gameover $((2 * gx)) $((2 * gy)) "$(pixel resources/gameover.png "$gx" "$gy")" ||
  fail "no game-over picture"
xdotool keyup --window "$window" Escape
# The game-over picture fills the window: compare a few of its pixels.
for xy in "40 40" "160 120" "300 200" "10 230"; do
  set -- $xy
  want=$(pixel resources/gameover.png "$1" "$2")
  got=$(pixel "$work/gameover.png" $((2 * $1)) $((2 * $2)))
  [ "$want" = "$got" ] || fail "game-over picture at $1,$2: $got, not $want"
done

status=0
timeout 10 tail --pid="$game_pid" -f /dev/null || fail "the game did not end"
wait "$game_pid" || status=$?
game_pid=""
[ "$status" -eq 0 ] || fail "exit status $status"
if grep -v -e '^ALSA lib' "$work/err.txt" | grep -q .; then
  fail "unexpected error output: $(cat "$work/err.txt")"
fi

# The session it recorded plays again headless to the same end: the runner
# checks its own end against the recording's end line.
end_line=$(tail -n 1 "$work/session.rec")
[[ "$end_line" == "# end frames "*" level 1 incorrect 0" ]] || fail "recording ends with: $end_line"
./zummertock-replay --replay "$work/session.rec" >"$work/replay.out" 2>"$work/replay.err" ||
  fail "the replay of the recorded session: $(cat "$work/replay.out" "$work/replay.err")"

# A recording that fills the disk: said at once, the game plays on (here to
# Escape), and its end is a failing status.
SDL_AUDIODRIVER=dummy ./zummertock --record /dev/full >"$work/full.out" 2>"$work/full.err" &
game_pid=$!
window=$(timeout 20 xdotool search --sync --name '^QQQQQQQQ$' | head -n 1) || fail "no window (full disk)"
wait_until 30 title_shown || fail "the title screen never showed (full disk)"
xdotool key --window "$window" Escape
status=0
timeout 10 tail --pid="$game_pid" -f /dev/null || fail "the game did not end (full disk)"
wait "$game_pid" || status=$?
game_pid=""
[ "$status" -eq 1 ] || fail "recording to a full disk: exit status $status, not 1"
grep -q "^Error: couldn't write the recording /dev/full: No space left on device$" "$work/full.err" ||
  fail "recording to a full disk: $(cat "$work/full.err")"

# Without a display there is no window: one error line and a failing status,
# never a quiet success.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy timeout 20 ./zummertock \
  >"$work/nodisplay.out" 2>"$work/nodisplay.err" || status=$?
[ "$status" -eq 1 ] || fail "without a display: exit status $status, not 1"
lines=$(grep -c '^Error: ' "$work/nodisplay.err" || true)
[ "$lines" = 1 ] || fail "without a display: $lines error lines: $(cat "$work/nodisplay.err")"

echo "PASS: window, title at zoom 2 and 4, a run to the second level, game-over picture, exit status 0, the recording replays to its end; a full disk: status 1; no display: status 1"
