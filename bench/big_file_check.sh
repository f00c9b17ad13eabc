#!/usr/bin/env bash
# A file larger than the memory a run may use: the benchmark file of
# bench/run_bench.sh copied four times (10M lines each, about 2.4 GB), run
# with --max-memory 512M under an address-space limit of 512M + 512 MiB
# (prlimit --as). For keep-first, keep-last, -c, --list and standard input (a
# pipe) it checks exit status 0, the bytes of the run without a limit, and a
# peak resident set (GNU time) within the limit + 64 MiB. It times the
# clean-up beside LC_ALL=C sort -u -S with the same limit, runs interleaved,
# and prints each ratio's median, min and max over the pairs (target: at
# most 0.8x); then traces the progress of the clean-up and of --list (-v on
# a terminal): no stage may stand on one percentage for more than 2 s. Exits 1 when a check
# fails. The big file is deleted at the end unless --keep-data.
#
# usage: bench/big_file_check.sh [OPTION]...
#   --copies N        copies of the benchmark file (default 4)
#   --lines N         lines of the benchmark file (default 10000000)
#   --memory MIB      --max-memory in MiB (default 512)
#   --runs N          timed pairs of the clean-up and sort -u (default 3)
#   --data-dir DIR    where the generated files are kept (as bench/run_bench.sh)
#   --keep-data       keep the big file for the next run
# QUILLOW_BUILD_DIR names a build to use instead of build-bench (Release).
set -euo pipefail
cd "$(dirname "$0")/.."

copies=4
lines=10000000
memory_mib=512
runs=3
data_dir=${TMPDIR:-/tmp}/quillow-bench
keep=0
while (($#)); do
    case $1 in
        --copies) copies=${2:?--copies needs a number}; shift ;;
        --lines) lines=${2:?--lines needs a number}; shift ;;
        --memory) memory_mib=${2:?--memory needs a number of MiB}; shift ;;
        --runs) runs=${2:?--runs needs a number}; shift ;;
        --data-dir) data_dir=${2:?--data-dir needs a folder}; shift ;;
        --keep-data) keep=1 ;;
        -h | --help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
        *) echo "big_file_check: unknown argument $1 (try --help)" >&2; exit 2 ;;
    esac
    shift
done
for tool in prlimit python3 /usr/bin/time cmake sort sha256sum; do
    command -v "$tool" > /dev/null ||
        { echo "big_file_check: $tool is missing (scripts/setup.sh installs it)" >&2; exit 2; }
done

source bench/common.sh
build_cli big_file_check
mkdir -p "$data_dir"
data_dir=$(cd "$data_dir" && pwd)
part=$(bench_data "$data_dir" "$lines" 1)
file=$data_dir/big-${copies}x-$(basename "$part")
if [ ! -f "$file" ] || [ "$file" -ot "$part" ]; then
    echo "making $file ($copies copies)..." >&2
    for ((i = 0; i < copies; i++)); do cat "$part"; done > "$file.part"
    mv "$file.part" "$file"
fi

work=$(mktemp -d)
cleanup() {
    rm -rf "$work"
    ((keep)) || rm -f "$file"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/config
# The partitions go to a temporary folder of their own, watched for leftovers.
mkdir -p "$work/tmp"
limit=${memory_mib}M
address_space=$(((memory_mib + 512) * 1048576))
rss_bound_kib=$(((memory_mib + 64) * 1024))
failed=0

# bounded NAME MODE ARG...: runs quillow-cli on the big file with and without
# the limit (MODE: file, or pipe for standard input from cat), and checks
# status, bytes and peak. The output is kept only as its checksum.
bounded() {
    local name=$1 mode=$2
    shift 2
    local out=$work/out status peak seconds ours theirs
    for route in memory limited; do
        local prefix=() extra=()
        if [ "$route" = limited ]; then
            prefix=(prlimit --as="$address_space")
            extra=(--max-memory "$limit")
        fi
        rm -f "$out"
        set +e
        if [ "$mode" = pipe ]; then
            cat "$file" | TMPDIR=$work/tmp "${prefix[@]}" /usr/bin/time -f "%e %M" -o "$work/time" \
                "$cli" "$@" "${extra[@]}" > "$out"
        else
            TMPDIR=$work/tmp "${prefix[@]}" /usr/bin/time -f "%e %M" -o "$work/time" \
                "$cli" "$@" "${extra[@]}" "$file" > "$out"
        fi
        status=$?
        set -e
        read -r seconds peak < <(tail -n 1 "$work/time")
        sha256sum < "$out" | cut -c1-64 > "$work/$route.sum"
        rm -f "$out"
        printf '%-10s %-8s %7.2f s  peak %6d MiB  status %d\n' "$name" "$route" "$seconds" $((peak / 1024)) "$status"
        if [ "$status" != 0 ]; then
            echo "  FAILED: exit status $status" && failed=1
        fi
        if [ "$route" = limited ] && ((peak > rss_bound_kib)); then
            echo "  FAILED: peak above ${limit} + 64 MiB" && failed=1
        fi
    done
    ours=$(cat "$work/limited.sum")
    theirs=$(cat "$work/memory.sum")
    if [ "$ours" != "$theirs" ]; then
        echo "  FAILED: other bytes than the run without a limit" && failed=1
    fi
}

cat "$file" > /dev/null
echo "file: $(stat -c %s "$file" | awk '{ printf "%.2f GB", $1 / 1e9 }'), $((lines * copies)) lines;" \
    "--max-memory $limit under prlimit --as=$address_space; load before: $(cut -d' ' -f1-3 /proc/loadavg)"
bounded keep-first file
bounded keep-last file --keep=last
bounded count file -c
bounded list file --list
bounded stdin pipe

# The clean-up to a file beside sort -u with the same memory, interleaved.
: > "$work/pairs"
for ((i = 0; i < runs; i++)); do
    rm -f "$work/ours.out" "$work/sort.out"
    sync
    TMPDIR=$work/tmp prlimit --as="$address_space" /usr/bin/time -f "%e %M" -o "$work/t-ours" \
        "$cli" --max-memory "$limit" "$file" -o "$work/ours.out"
    rm -f "$work/ours.out"
echo "progress of --list (its texts fetched from the file):"
TMPDIR=$work/tmp prlimit --as="$address_space" python3 bench/progress_trace.py --limit 2 -- \
    sh -c '"$0" -v --max-memory "$1" --list "$2" > /dev/null' "$cli" "$limit" "$file" || failed=1
    sync
    TMPDIR=$work/tmp LC_ALL=C /usr/bin/time -f "%e %M" -o "$work/t-sort" \
        sort -u -S "$limit" -T "$work/tmp" "$file" -o "$work/sort.out"
    rm -f "$work/sort.out"
    echo "$(tail -n 1 "$work/t-ours") $(tail -n 1 "$work/t-sort")" >> "$work/pairs"
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$work/pairs" "$limit" <<'PY' || failed=1
import statistics, sys
pairs = [list(map(float, l.split())) for l in open(sys.argv[1]) if l.strip()]
def show(name, values, unit):
    print(f"{name:<44} median {statistics.median(values):7.2f}{unit}  min {min(values):7.2f}{unit}  max {max(values):7.2f}{unit}")
show(f"quillow-cli --max-memory {sys.argv[2]} F -o OUT", [p[0] for p in pairs], " s")
show(f"LC_ALL=C sort -u -S {sys.argv[2]} F -o OUT", [p[2] for p in pairs], " s")
ratios = [p[0] / p[2] for p in pairs]
show(f"ratio over {len(pairs)} pairs (target <= 0.8x)", ratios, "x")
print(f"peak: quillow-cli {max(p[1] for p in pairs) / 1024:,.0f} MiB, sort {max(p[3] for p in pairs) / 1024:,.0f} MiB")
sys.exit(0 if statistics.median(ratios) <= 0.8 else 1)
PY

echo "progress of the clean-up (-v on a terminal; no stage still for more than 2 s):"
TMPDIR=$work/tmp prlimit --as="$address_space" python3 bench/progress_trace.py --limit 2 -- \
    "$cli" -v --max-memory "$limit" "$file" -o "$work/ours.out" || failed=1
rm -f "$work/ours.out"

left=$(find "$work/tmp" -mindepth 1 | wc -l)
echo "temporary files left: $left"
((left == 0)) || failed=1
if ((failed)); then echo "big_file_check: some checks failed"; else echo "big_file_check: every check met"; fi
exit "$failed"
