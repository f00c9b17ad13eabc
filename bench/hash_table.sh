#!/usr/bin/env bash
# The key hash and the scan's grouping table beside absl's, on the lines of
# the benchmark file of bench/run_bench.sh (bench/hash_table_bench.cpp says
# what each case measures). Prints nanoseconds a line: median, min, max.
#
# usage: bench/hash_table.sh [--lines N] [--runs N] [--data-dir DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

lines=10000000
runs=5
data_dir=${TMPDIR:-/tmp}/quillow-bench
while (($#)); do
    case $1 in
        --lines) lines=${2:?--lines needs a number}; shift ;;
        --runs) runs=${2:?--runs needs a number}; shift ;;
        --data-dir) data_dir=${2:?--data-dir needs a folder}; shift ;;
        -h | --help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
        *) echo "hash_table: unknown argument $1 (try --help)" >&2; exit 2 ;;
    esac
    shift
done

source bench/common.sh
build_cli hash_table
cmake --build "$(dirname "$cli")" -j2 --target hash_table_bench > /dev/null
mkdir -p "$data_dir"
file=$(bench_data "$(cd "$data_dir" && pwd)" "$lines" 1)
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)" >&2
"$(dirname "$cli")/hash_table_bench" "$file" "$runs"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)" >&2
