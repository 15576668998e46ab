#!/usr/bin/env bash
# The installed game: the tree `cmake --install` lays out under a DESTDIR,
# the same files in the Debian package (the program in usr/games; no -dev
# dependency; Debian's checks, scripts/check-package, pass), the title
# shown by the installed program started from an empty folder, and nothing
# of ours left after uninstalling.   install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 src=$2
source "$src/scripts/lib/window-checks.sh"
for tool in Xvfb xdotool import convert identify desktop-file-validate dpkg-deb dpkg-shlibdeps file \
  lintian hardening-check appstreamcli objdump; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d) game_pid="" virtual_display_pid=""
trap 'kill $game_pid $virtual_display_pid 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

root=$work/root share=$work/root/usr/share
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
[ -x "$root/usr/bin/zummertock" ] || fail "no usr/bin/zummertock"
diff -r -x .generated "$build/resources" "$share/zummertock/resources" || fail "resources differ"
desktop-file-validate "$share/applications/zummertock.desktop" || fail "desktop entry"
for icon in "$share"/icons/hicolor/*/apps/zummertock.png; do
  size=$(basename "$(dirname "$(dirname "$icon")")")
  [ "$(identify -format '%wx%h' "$icon")" = "$size" ] || fail "$icon is not $size"
done
[ "$(ls "$share/icons/hicolor" | wc -l)" -eq 9 ] || fail "icon sizes: $(ls "$share/icons/hicolor")"

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(tail "$work/cpack.log")"
deb=$(echo "$work"/pkg/zummertock_*.deb) depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libsdl2-2.0-0* && $depends =~ (^|, )libgl1(,|$) && $depends != *-dev* ]] ||
  fail "Depends: $depends"
dpkg-deb -x "$deb" "$work/deb"
diff <(cd "$root" && find . -type f | sort) <(cd "$work/deb" && find . -type f |
  sed 's,^\./usr/games/,./usr/bin/,' | sort) || fail "the package's files are not the installed ones"
"$src/scripts/check-package" "$deb" "$build/zummertock" || fail "Debian's checks of the package"

start_virtual_display "$work" 800x600x24
mkdir "$work/empty"
(cd "$work/empty" && SDL_AUDIODRIVER=dummy exec "$root/usr/bin/zummertock") 2>"$work/err.txt" &
game_pid=$!
window=$(timeout 20 xdotool search --sync --pid "$game_pid" --name . | head -n 1) || fail "no window"
title_shown() {  # the title screen's white prompts
  import -silent -window "$window" "$work/title.png" 2>/dev/null &&
    [ "$(convert "$work/title.png" txt:- | grep -c '#FFFFFF')" -gt 0 ]
}
wait_until 30 title_shown || fail "no title screen: $(cat "$work/err.txt")"
xdotool key --window "$window" Escape
timeout 10 tail --pid="$game_pid" -f /dev/null || fail "the game did not end on Escape"
wait "$game_pid" || fail "exit status $?"
game_pid=""
! grep -v '^ALSA lib' "$work/err.txt" | grep . || fail "error output above"

cmake -DMANIFEST="$build/install_manifest.txt" -DPREFIX=/usr -DDESTDIR="$root" \
  -P "$src/cmake/uninstall.cmake" >/dev/null
left=$(cd "$root" && find . -type f -o -path './usr/share/*zummertock' -print)
[ -z "$left" ] || fail "left after uninstalling: $left"
echo "PASS: installed tree, package ($(stat -c %s "$deb") bytes, Depends: $depends), title, uninstall"
