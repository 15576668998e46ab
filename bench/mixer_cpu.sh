#!/usr/bin/env bash
# The CPU each thread of the Linux program uses over 10 s of the title
# music, on a virtual display with SDL's disk audio driver (which plays in
# real time into a file), and how much sound reached that file.
#
#   bench/mixer_cpu.sh [BUILD_DIR]      (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/window-checks.sh
build=$(cd "${1:-build/default}" && pwd)
make_work_folder

start_virtual_display "$work" 800x600x24
(cd "$build" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw" exec ./zummertock) \
  2>"$work/err.txt" &
game_pid=$!
window=$(timeout 20 xdotool search --sync --name '^QQQQQQQQ$' | head -n 1)
sleep 2
xdotool key --window "$window" d  # to the title music
sleep 1

ticks() {  # TID NAME TICKS for every thread of the game
  local task
  for task in /proc/"$game_pid"/task/*; do
    echo "$(basename "$task") $(tr ' ' _ <"$task/comm") $(awk '{print $14 + $15}' "$task/stat")"
  done
}
ticks >"$work/before"
bytes_before=$(stat -c %s "$work/audio.raw")
sleep 10
ticks >"$work/after"
bytes_after=$(stat -c %s "$work/audio.raw")

hz=$(getconf CLK_TCK)
join "$work/before" "$work/after" |
  awk -v hz="$hz" '{ printf "%-16s %6.2f s CPU in 10 s\n", $2, ($5 - $3) / hz }'
bytes=$((bytes_after - bytes_before))
echo "sound written in 10 s: $bytes bytes ($(awk -v b="$bytes" 'BEGIN { printf "%.2f", b / 176400 }') s at 44100 Hz stereo)"
# The last second must not be silence: the largest sample in it.
tail -c 176400 "$work/audio.raw" | od -An -v -td2 -w2 |
  awk '{ v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print "loudest sample of the last second: " m }'
xdotool key --window "$window" Escape
