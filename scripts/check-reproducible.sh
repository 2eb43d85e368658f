#!/usr/bin/env bash
# Builds the shipped 32-bit setup twice, from clean folders at two different
# paths, and checks that both setup.exe files are identical byte for byte and
# that neither build's folder shows in them, in vlm.exe or in the payload.
#   bash scripts/check-reproducible.sh [copy the checked setup.exe here]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for side in a b/deeper; do
  mkdir -p "$work/$side"
  git ls-files -z | xargs -0 cp --parents -t "$work/$side"
  cmake -S "$work/$side" -B "$work/$side/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$work/$side/build" -j"$(nproc)" --target setup >/dev/null
done
a=$(sha256sum < "$work/a/build/setup/setup.exe" | cut -d' ' -f1)
b=$(sha256sum < "$work/b/deeper/build/setup/setup.exe" | cut -d' ' -f1)
echo "first build:  $a"
echo "second build: $b"
if [ "$a" = "$b" ]; then
  echo "reproducible: both setup.exe files are identical"
  # Neither work folder may show in what ships: the setup, the word processor,
  # and every file of the payload, inflated.
  for side in a b/deeper; do
    bash tools/release/check-leaks.sh "$work/$side/build/setup/setup.exe" "$work/$side/build/product/vlm/vlm.exe" \
      -- "$work/a" "$work/b/deeper" || { echo "NOT clean: a build folder shows in the build of $work/$side" >&2; exit 1; }
  done
  if [ -n "${1:-}" ]; then cp "$work/a/build/setup/setup.exe" "$1"; fi
else
  cmp -l "$work/a/build/setup/setup.exe" "$work/b/deeper/build/setup/setup.exe" | head -20 >&2 || true
  echo "NOT reproducible" >&2
  exit 1
fi
