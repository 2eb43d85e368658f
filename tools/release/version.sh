#!/usr/bin/env bash
# The product version a commit defines (resources/Version.h), as "3.2.14.0".
#   version.sh [COMMIT]   default: the work tree
set -euo pipefail
cd "$(dirname "$0")/../.."
if [ -n "${1:-}" ]; then text=$(git show "$1:resources/Version.h"); else text=$(cat resources/Version.h); fi
v=""
for part in MAJOR MINOR RELEASE BUILD; do
  n=$(sed -n "s/^#define VELLUMAR_VERSION_$part \\([0-9][0-9]*\\)\$/\\1/p" <<<"$text")
  [ -n "$n" ] || { echo "version: resources/Version.h defines no VELLUMAR_VERSION_$part" >&2; exit 1; }
  v+=${v:+.}$n
done
echo "$v"
