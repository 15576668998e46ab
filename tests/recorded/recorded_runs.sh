#!/usr/bin/env bash
# Recorded runs: for the fixed runner arguments in runs.txt, the traces,
# screenshots, sound and summary lines must be the very bytes whose hashes
# are in runs.sha256. A change that is meant to alter what the game does
# updates them (--update) and says why in its commit; any other difference
# is a fault.
#
#   recorded_runs.sh BUILD_DIR [--update]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build directory}" && pwd)
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

if [ "${2:-}" = --update ]; then
  sha256sum -- * | LC_ALL=C sort -k2 >"$here/runs.sha256"
  echo "recorded_runs: wrote $(wc -l <"$here/runs.sha256") hashes"
  exit 0
fi
if ! sha256sum --quiet -c "$here/runs.sha256"; then
  mkdir -p "$build/recorded-runs"
  cp -- * "$build/recorded-runs/"
  echo "recorded_runs: outputs differ; this run's files are in $build/recorded-runs"
  exit 1
fi
extra=$(comm -13 <(awk '{print $2}' "$here/runs.sha256") <(ls | LC_ALL=C sort))
[ -z "$extra" ] || { echo "recorded_runs: files without a recorded hash: $extra"; exit 1; }
echo "recorded_runs: $(wc -l <"$here/runs.sha256") files as recorded"
