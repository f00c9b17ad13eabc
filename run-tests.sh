#!/usr/bin/env bash
# Set up, build, and run every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
build=${QUILLOW_BUILD_DIR:-build}
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
