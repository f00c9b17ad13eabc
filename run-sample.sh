#!/usr/bin/env bash
# Set up, build, and run the clean-up on the bundled sample.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
build=${QUILLOW_BUILD_DIR:-build}
sample=examples/sample.txt
echo "== duplicates found in $sample (quillow-cli --list)"
"$build/quillow-cli" --list "$sample"
