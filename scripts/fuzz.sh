#!/usr/bin/env bash
# Builds the reader fuzzer with clang and runs it for the given number of seconds (default 300).
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-300}
make fuzz
mkdir -p fuzz/corpus
# Each seed starts with the port count its name gives, as the fuzzer reads it.
for f in testdata/*.s[0-9]*p; do
  [ -f "$f" ] || continue
  ports=$(basename "$f" | sed -E 's/.*\.s([0-9]+)p$/\1/')
  { printf "\\$(printf '%03o' "$ports")"; cat "$f"; } > "fuzz/corpus/seed-$(basename "$f")"
done
build-fuzz/fuzz/fuzz_touchstone fuzz/corpus -max_total_time="$seconds" -max_len=200000 -timeout=10 -jobs=1
