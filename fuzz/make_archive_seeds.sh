#!/bin/bash
# Seeds for the archive fuzzer: a few small archives built by the packing tool.
# Usage: fuzz/make_archive_seeds.sh <fenwhit_pack> <corpus folder>
set -euo pipefail
pack="$1"
corpus="$2"
mkdir -p "$corpus"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/one" "$work/two" "$work/none"
printf 'abc' > "$work/one/test.png"
printf 'first' > "$work/two/a.png"
printf '' > "$work/two/b.ogg"
for set in one two none; do
  "$pack" "$work/$set" "$corpus/seed-$set"
done
