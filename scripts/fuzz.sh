#!/usr/bin/env bash
# Builds the reader fuzzer with clang and runs it for the given number of seconds (default 300).
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-300}
make fuzz
mkdir -p fuzz/corpus
for f in testdata/*.s2p testdata/*.s3p testdata/*.s4p; do
  [ -f "$f" ] || continue
  case "$f" in *.s3p) p='\x01' ;; *.s4p) p='\x02' ;; *) p='\x00' ;; esac
  { printf "$p"; cat "$f"; } > "fuzz/corpus/seed-$(basename "$f")"
done
build-fuzz/fuzz/fuzz_touchstone fuzz/corpus -max_total_time="$seconds" -max_len=200000 -timeout=10 -jobs=1
