#!/usr/bin/env bash
# Fails when a C++ file of the project is not formatted with its .clang-format: every .cpp and .h
# under src/, tests/, bench/, fuzz/ and tools/. The check is pinned to clang-format 14, the
# version debian-packages.txt installs here: another version formats some lines differently.
# Usage: check-format.sh [TOP_FOLDER]
set -euo pipefail
top=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$top"

want=14
format=""
for candidate in "clang-format-$want" clang-format; do
  if command -v "$candidate" >/dev/null 2>&1 &&
     "$candidate" --version | grep -q "version $want\."; then
    format=$candidate
    break
  fi
done
if [ -z "$format" ]; then
  echo "clang-format $want is missing (debian-packages.txt: clang-format); 'make deps' installs it" >&2
  exit 1
fi

mapfile -d '' files < <(find src tests bench fuzz tools -type f \( -name '*.cpp' -o -name '*.h' \) \
  -not -path '*/corpus/*' -print0 | sort -z)
# One run over all files; each difference is reported as "FILE:LINE:COLUMN: error: ...".
status=0
report=$("$format" --style=file --dry-run -Werror "${files[@]}" 2>&1) || status=$?
mapfile -t bad < <(printf '%s\n' "$report" |
  sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*/\1/p' | sort -u)
if [ "$status" -ne 0 ] && [ ${#bad[@]} -eq 0 ]; then
  printf '%s\n' "$report" >&2
  echo "$format failed" >&2
  exit 1
fi
if [ ${#bad[@]} -gt 0 ]; then
  printf 'not formatted: %s\n' "${bad[@]}"
  echo "${#bad[@]} file(s) differ from .clang-format; run: $format -i FILE..."
  exit 1
fi
echo "${#files[@]} files formatted with $format"
