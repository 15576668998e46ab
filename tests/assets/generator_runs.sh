#!/bin/sh
# The generator's output: the same bytes on every run, the same as the tree
# the build made, and a failure exit when it cannot write.
#   generator_runs.sh ZT_ASSETGEN BUILD_DIR
set -eu
gen=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$gen" "$work/a" >/dev/null
"$gen" "$work/b" >/dev/null
if ! diff -r "$work/a" "$work/b" >/dev/null; then
  echo "two runs differ:"; diff -rq "$work/a" "$work/b"; exit 1
fi
count=$(find "$work/a/resources" -type f | wc -l)
[ "$count" -eq 98 ] || { echo "expected 98 resource files, found $count"; exit 1; }
[ -f "$work/a/icons/zummertock107.ico" ] && [ -f "$work/a/icons/zummertock108.ico" ] ||
  { echo "icons missing"; exit 1; }
sizes=$(find "$work/a/icons/hicolor" -path '*/apps/zummertock.png' | wc -l)
[ "$sizes" -eq 9 ] || { echo "expected 9 desktop icon sizes, found $sizes"; exit 1; }

# The build's own tree must be what the generator makes now.
if ! diff -r -x .generated "$work/a/resources" "$build/resources" >/dev/null; then
  echo "the build's resources/ is stale:"; diff -rq -x .generated "$work/a/resources" "$build/resources"; exit 1
fi

# A place it cannot write to is an error, not a silent success.
touch "$work/file"
if "$gen" "$work/file/below" >/dev/null 2>&1; then
  echo "generator reported success writing under a plain file"; exit 1
fi
echo "generator output is reproducible ($count resource files, $sizes icon sizes)"
