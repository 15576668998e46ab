#!/usr/bin/env bash
# Every tracked C++ file is as clang-format 14 (Debian's, with the
# repository's .clang-format) would write it: prints the files that are
# not and fails. `make format` rewrites them. Skips (77) without a
# clang-format 14 or outside a git checkout.
#
#   format_check.sh SOURCE_DIR
set -euo pipefail
cd "${1:?source directory}"
format=""
for candidate in clang-format-14 clang-format; do
  if command -v "$candidate" >/dev/null && [[ "$("$candidate" --version)" == *" version 14."* ]]; then
    format=$candidate
    break
  fi
done
[ -n "$format" ] || { echo "SKIP: no clang-format 14 (scripts/install-deps installs it)"; exit 77; }
git rev-parse --is-inside-work-tree >/dev/null 2>&1 || { echo "SKIP: not a git checkout"; exit 77; }

# One clang-format for all the files: it names each file that it would change.
status=0
report=$(git ls-files -z '*.cpp' '*.h' |
  xargs -0 "$format" --style=file --dry-run -Werror --ferror-limit=1 2>&1) || status=$?
off=$(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' <<<"$report" | sort -u)
if [ -n "$off" ]; then
  sed 's/^/not as clang-format writes it: /' <<<"$off"
  echo "format: $(wc -l <<<"$off") files to format (make format)"
  exit 1
fi
if [ "$status" != 0 ]; then
  echo "$report"
  echo "format: $format failed (status $status)"
  exit 1
fi
echo "format: $(git ls-files '*.cpp' '*.h' | wc -l) files as clang-format writes them"
