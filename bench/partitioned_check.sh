#!/usr/bin/env bash
# The clean-up of a file larger than the memory it may use: the benchmark
# file of bench/run_bench.sh cleaned with --max-memory 256M under an
# address-space limit of 512 MiB (prlimit --as), beside the same clean-up in
# memory, runs interleaved so both see the same load. It must write the same
# bytes, within 2.5 times the time in memory, and leave the temporary folder
# as it found it. Prints the times (median, min, max), peak memory and the
# ratio of each pair of runs (median, min, max).
#
# usage: bench/partitioned_check.sh [OPTION]...
#   --lines N         lines of the generated file (default 10000000)
#   --memory SIZE     --max-memory of the partitioned run (default 256M)
#   --as BYTES        its address-space limit (default 536870912)
#   --runs N          runs of each (default 3)
#   --data-dir DIR    where the generated files are kept (as bench/run_bench.sh)
# QUILLOW_BUILD_DIR names a build to use instead of build-bench (Release).
set -euo pipefail
cd "$(dirname "$0")/.."

lines=10000000
memory=256M
address_space=536870912
runs=3
data_dir=${TMPDIR:-/tmp}/quillow-bench
while (($#)); do
    case $1 in
        --lines) lines=${2:?--lines needs a number}; shift ;;
        --memory) memory=${2:?--memory needs a size}; shift ;;
        --as) address_space=${2:?--as needs a number of bytes}; shift ;;
        --runs) runs=${2:?--runs needs a number}; shift ;;
        --data-dir) data_dir=${2:?--data-dir needs a folder}; shift ;;
        -h | --help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
        *) echo "partitioned_check: unknown argument $1 (try --help)" >&2; exit 2 ;;
    esac
    shift
done
for tool in prlimit python3 /usr/bin/time cmake cmp; do
    command -v "$tool" > /dev/null ||
        { echo "partitioned_check: $tool is missing (scripts/setup.sh installs it)" >&2; exit 2; }
done

source bench/common.sh
build_cli partitioned_check
mkdir -p "$data_dir"
file=$(bench_data "$(cd "$data_dir" && pwd)" "$lines" 1)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
# The partitions go to a temporary folder of their own, watched for leftovers.
mkdir -p "$work/tmp"

# run NAME [PREFIX...]: one timed clean-up; appends "seconds peak_kib" to $work/NAME.
run() {
    local name=$1
    shift
    local args=("$file" "$work/$name.out")
    [ "$name" = memory ] || args+=(--max-memory "$memory")
    rm -f "$work/$name.out"
    sync
    TMPDIR=$work/tmp /usr/bin/time -f "%e %M" -a -o "$work/$name" "$@" "$cli" "${args[@]}"
}

cat "$file" > /dev/null
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)" >&2
for ((i = 0; i < runs; i++)); do
    # Alternating the order, so neither always runs first.
    if ((i % 2 == 0)); then
        run memory
        run partitioned prlimit --as="$address_space"
    else
        run partitioned prlimit --as="$address_space"
        run memory
    fi
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)" >&2

same=no
cmp -s "$work/memory.out" "$work/partitioned.out" && same=yes
left=$(find "$work/tmp" -mindepth 1 | wc -l)
python3 - "$work" "$file" "$lines" "$memory" "$address_space" "$same" "$left" <<'PY'
import os, statistics, sys
work, file, lines, memory, address_space, same, left = sys.argv[1:]
def runs(name):
    return [tuple(map(float, l.split())) for l in open(os.path.join(work, name)) if l.strip()]
def spread(values, unit):
    return f"median {statistics.median(values):6.2f}{unit}  min {min(values):6.2f}{unit}  max {max(values):6.2f}{unit}"
mem, part = runs("memory"), runs("partitioned")
ratios = [p[0] / m[0] for m, p in zip(mem, part)]
ratio = statistics.median(ratios)
mib = os.path.getsize(file) / 2**20
print(f"file: {int(lines):,} lines, {mib:,.0f} MiB")
print(f"in memory:   {spread([r[0] for r in mem], ' s')}  peak {max(r[1] for r in mem) / 1024:7,.0f} MiB")
print(f"--max-memory {memory} under prlimit --as={address_space}:")
print(f"             {spread([r[0] for r in part], ' s')}  peak {max(r[1] for r in part) / 1024:7,.0f} MiB")
print(f"time ratio over {len(ratios)} pairs: {spread(ratios, 'x')} (target <= 2.5x: {'met' if ratio <= 2.5 else 'missed'})")
print(f"same bytes: {same}")
print(f"temporary files left: {left}")
sys.exit(0 if same == "yes" and ratio <= 2.5 and left == "0" else 1)
PY
