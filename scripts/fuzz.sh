#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for the given number of seconds
# (default 300): the Touchstone reader, the limit-mask reader, the settings file and
# marker files. A target's corpus grows in fuzz/corpus/TARGET from its seeds.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   (TARGET: touchstone limitmask settings markers)
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-300}
shift || true
targets=${*:-touchstone limitmask settings markers}
make fuzz
for target in $targets; do
  corpus=fuzz/corpus/$target
  mkdir -p "$corpus"
  if [ "$target" = touchstone ]; then
    # Each seed starts with the byte that picks its name: the port count of a .sNp
    # name, 0 for any other (.ts).
    for f in testdata/*.s[0-9]*p fuzz/seeds/touchstone/*; do
      [ -f "$f" ] || continue
      ports=$(basename "$f" | sed -nE 's/.*\.[sS]([0-9]+)[pP]$/\1/p')
      { printf "\\$(printf '%03o' "${ports:-0}")"; cat "$f"; } > "$corpus/seed-$(basename "$f")"
    done
  else
    cp fuzz/seeds/"$target"/* "$corpus"/
  fi
  echo "== fuzz_$target: $seconds s"
  build-fuzz/fuzz/fuzz_"$target" "$corpus" -max_total_time="$seconds" -max_len=200000 -timeout=10 \
    -jobs=1 -print_final_stats=1
done
