#!/usr/bin/env bash
# Set up, build, and clean up the bundled sample: scan it, drop every
# duplicated line but its first occurrence, write the cleaned copy, and show
# what changed.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
build=${QUILLOW_BUILD_DIR:-build}
sample=examples/sample.txt
out="$build/sample-cleaned.txt"
rm -f "$out"

echo "== duplicates in $sample"
"$build/quillow-cli" --list "$sample" > "$build/sample-list.txt" || true
head -n 12 "$build/sample-list.txt"
echo "   ..."
echo "== cleaning: quillow-cli $sample $out   (keeps the first of each line)"
status=0
"$build/quillow-cli" "$sample" "$out" || status=$?
if [ "$status" -ne 0 ]; then
  echo "quillow-cli exited with status $status" >&2
  exit "$status"
fi
echo "== $(wc -l < "$sample") lines in, $(wc -l < "$out") lines out; lines dropped:"
diff <(tr -d '\r' < "$sample") <(tr -d '\r' < "$out") | grep '^<' | head -n 12 || true
echo "   ..."
echo "The cleaned copy is $out"
