#!/usr/bin/env bash
# Fails when any given file, or the payload a setup carries (inflated: the
# compressed resource hides every path inside vlm.exe and the other files),
# contains any of the given strings.
#   check-leaks.sh FILE... -- STRING...
set -euo pipefail
files=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do files+=("$1"); shift; done
[ $# -gt 0 ] && shift
[ ${#files[@]} -gt 0 ] && [ $# -gt 0 ] || { echo "usage: check-leaks.sh FILE... -- STRING..." >&2; exit 2; }
here=$(dirname "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
found=0
for f in "${files[@]}"; do
  targets=("$f")
  if wrestool -l "$f" 2>/dev/null | grep -q "^--type='FILES'"; then
    python3 "$here/payload.py" "$f" --archive "$work/payload" || { echo "leaks: cannot unpack the payload of $f" >&2; exit 1; }
    targets+=("$work/payload")
  fi
  for t in "${targets[@]}"; do
    what=$f; [ "$t" = "$f" ] || what="the payload of $f"
    for leak in "$@"; do
      if grep -qaF -- "$leak" "$t"; then echo "leaks: $what contains \"$leak\"" >&2; found=1; fi
    done
  done
done
exit $found
