#!/usr/bin/env bash
# Recorded runs: for the fixed runner arguments in runs.txt, what the runner
# wrote must be what runs.sha256 holds the hashes of. Traces and summary
# lines are hashed byte for byte; a screenshot by its size and decoded RGBA
# pixels, a WAV by its format and samples, so that a new zlib or libpng
# (another compressed stream, the same picture) changes nothing here. A
# change that is meant to alter what the game does updates them (--update)
# and says why in its commit; any other difference is a fault.
#
#   recorded_runs.sh BUILD_DIR [--update]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build directory}" && pwd)
command -v convert >/dev/null || { echo "recorded_runs: needs ImageMagick (convert)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cd "$work"
while IFS= read -r line; do
  case "$line" in '#'* | '') continue ;; esac
  name=${line%%:*}
  read -r -a args <<<"${line#*:}"
  args=("${args[@]//SCRIPT/$here/mistakes.script}")
  "$build/zummertock-replay" --resources "$build" "${args[@]}" >"$name.out" 2>"$name.err" ||
    echo "exit status $?" >>"$name.out"
done <"$here/runs.txt"

le32() { od --endian=little -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
le16() { od --endian=little -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
# A WAV's channels, rate and bits per sample, then its data chunk.
wav_sound() {
  local file=$1 at=12 id size
  while id=$(dd if="$file" bs=1 skip="$at" count=4 status=none) && [ ${#id} = 4 ]; do
    size=$(le32 "$file" $((at + 4)))
    case "$id" in
      'fmt ') echo "$(le16 "$file" $((at + 10))) $(le32 "$file" $((at + 12))) $(le16 "$file" $((at + 22)))" ;;
      data)
        tail -c +$((at + 9)) "$file" | head -c "$size"
        return
        ;;
    esac
    at=$((at + 8 + size + size % 2))
  done
  echo "no data chunk"
}
# ImageMagick reads a gamma chunk as linear light; sRGB keeps the samples
# as they are stored.
picture() {
  identify -format '%wx%h\n' "$1"
  convert "$1" -set colorspace sRGB -depth 8 rgba:-
}
digest() {
  local file hash
  for file in *; do
    case "$file" in
      *.png) hash=$(picture "$file" | sha256sum) ;;
      *.wav) hash=$(wav_sound "$file" | sha256sum) ;;
      *) hash=$(sha256sum <"$file") ;;
    esac
    echo "${hash%% *}  $file"
  done | LC_ALL=C sort -k2
}

if [ "${2:-}" = --update ]; then
  digest >"$here/runs.sha256"
  echo "recorded_runs: wrote $(wc -l <"$here/runs.sha256") hashes"
  exit 0
fi
if ! differences=$(diff <(digest) "$here/runs.sha256"); then
  echo "$differences" | sed 's/^/  /'
  mkdir -p "$build/recorded-runs"
  cp -- * "$build/recorded-runs/"
  echo "recorded_runs: outputs differ (< this run, > recorded); this run's files are in $build/recorded-runs"
  exit 1
fi
echo "recorded_runs: $(wc -l <"$here/runs.sha256") files as recorded"
