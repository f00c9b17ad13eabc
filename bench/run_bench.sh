#!/usr/bin/env bash
# Shows how the cost of quillow-cli grows with the file. On generated files of
# 1M, 10M and 50M lines (one seeded generator, so every size has the same mix)
# it times the scan and the clean-up beside mawk and LC_ALL=C sort -u, with
# wc -l as the floor, and prints time and peak memory per line for each size,
# the curve across the sizes, and the ratios we aim for.
#
# usage: bench/run_bench.sh [OPTION]...
#   --sizes LIST     line counts, e.g. 100k,1m,10m (default 1m,10m,50m)
#   --quick          the same as --sizes 1m
#   --runs N|LIST    timed runs per command: N for every size, or per size as
#                    1m=5,10m=2, or both as 3,50m=1 (default 5 up to 1M lines,
#                    3 up to 10M, 1 above)
#   --warmup N       untimed runs first (default 1 up to 1M lines, 0 above)
#   --bench LIST     benchmarks to run, from: floor,scan,mawk,cleanup,streams
#                    (default all)
#   --seed N         generator seed (default 1)
#   --data-dir DIR   keeps the generated files between runs, named by size and
#                    seed, and the results (default $TMPDIR/quillow-bench,
#                    or /tmp/quillow-bench)
#   --discard-data   deletes the generated files at the end
#   --markdown       also prints the results as Markdown tables
# 50M lines make a 3 GB file; mawk takes 5 GB and minutes per run on it (its
# time per line grows with the line count), so a full run takes half an hour
# or more. QUILLOW_BUILD_DIR names a build to use instead of build-bench.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; }
fail() { echo "run_bench: $*" >&2; exit 2; }

# count 1m -> 1000000 (k and m suffixes, any case)
count() {
    [[ $1 =~ ^([0-9]+)([kKmM]?)$ ]] || fail "'$1' is not a line count (like 100k, 1m, 2500000)"
    local n=${BASH_REMATCH[1]}
    case ${BASH_REMATCH[2]} in k | K) n=$((n * 1000)) ;; m | M) n=$((n * 1000000)) ;; esac
    ((n > 0)) || fail "a size must be above 0"
    echo "$n"
}
# label 1000000 -> 1M, 100000 -> 100k
label() {
    if (($1 % 1000000 == 0)); then echo "$(($1 / 1000000))M"
    elif (($1 % 1000 == 0)); then echo "$(($1 / 1000))k"
    else echo "$1"; fi
}

# --- benchmarks --------------------------------------------------------------
# Each benchmark is one function bench_NAME that times its commands with
# `measure` on $file, which holds $lines lines; its results go to $dir. To add
# one, write the function and add NAME to all_benches.
all_benches=(floor scan mawk cleanup streams)

bench_floor() {
    measure wc "wc -l F" -- wc -l "$file"
}

# The scans beside sort -u; the case-sensitive ones compare with mawk keyed on
# the line as it is, the case-insensitive one with mawk keyed on tolower.
bench_scan() {
    # Every repeated line once: the scan, without formatting millions of entries.
    measure repeated "quillow-cli -d F" -- "$cli" -d "$file"
    measure list_cs "quillow-cli --list F" -- "$cli" --list "$file"
    measure list_ci "quillow-cli --list -i F" -- "$cli" --list -i "$file"
    measure sort_u "LC_ALL=C sort -u F" -- env LC_ALL=C sort -u "$file"
}

# mawk takes minutes on the biggest files: a benchmark of its own.
bench_mawk() {
    measure mawk "mawk '!a[\$0]++' F" -- env LC_ALL=C mawk '!a[$0]++' "$file"
    measure mawk_lower "mawk '!a[tolower(\$0)]++' F" -- env LC_ALL=C mawk '!a[tolower($0)]++' "$file"
}

# The generated files hold no blank-only lines, so keeping the first of each
# line must write exactly what mawk writes; the outputs of the last runs are
# compared.
bench_cleanup() {
    local ours=$dir/quillow.out theirs=$dir/mawk.out
    measure clean "quillow-cli F OUT" --writes "$ours" -- \
        "$cli" "$file" "$ours"
    measure mawk_clean "mawk '!a[\$0]++' F > OUT" --stdout "$theirs" -- \
        env LC_ALL=C mawk '!a[$0]++' "$file"
    if cmp -s "$ours" "$theirs"; then
        echo same > "$dir/check"
    else
        echo differs > "$dir/check"
        echo "run_bench: warning: quillow-cli F OUT wrote other lines than mawk '!a[\$0]++'" >&2
    fi
    rm -f "$ours" "$theirs"
}

# quillow-cli on the standard streams: the clean-up to standard output beside
# the scan alone, the same from a pipe, and the clean-up to a file beside the
# scan followed by writing the same bytes with cat and sync.
bench_streams() {
    local cleaned=$dir/cleaned.out out=$dir/streams.out
    "$cli" "$file" "$cleaned"
    measure to_stdout "quillow-cli F" -- "$cli" "$file"
    measure pipe_stdout "cat F | quillow-cli" -- \
        sh -c 'cat "$1" | exec "$2"' sh "$file" "$cli"
    measure scan_cat_sync "quillow-cli --list F; cat CLEANED > OUT; sync OUT" --writes "$out" -- \
        sh -c '"$1" --list "$2" > /dev/null 2>&1; cat "$3" > "$4" && sync "$4"' sh "$cli" "$file" "$cleaned" "$out"
    rm -f "$cleaned" "$out"
}

# --- options -----------------------------------------------------------------
sizes=1m,10m,50m
runs_arg=""
warmup_arg=""
bench_arg=$(IFS=,; echo "${all_benches[*]}")
seed=1
data_dir=${TMPDIR:-/tmp}/quillow-bench
discard=0
markdown=0
while (($#)); do
    case $1 in
        --sizes) sizes=${2:?--sizes needs a list}; shift ;;
        --quick) sizes=1m ;;
        --runs) runs_arg=${2:?--runs needs a number or a list}; shift ;;
        --warmup) warmup_arg=${2:?--warmup needs a number}; shift ;;
        --bench) bench_arg=${2:?--bench needs a list}; shift ;;
        --seed) seed=${2:?--seed needs a number}; shift ;;
        --data-dir) data_dir=${2:?--data-dir needs a folder}; shift ;;
        --discard-data) discard=1 ;;
        --markdown) markdown=1 ;;
        -h | --help) usage; exit 0 ;;
        *) fail "unknown argument $1 (try --help)" ;;
    esac
    shift
done
[[ $seed =~ ^[0-9]+$ ]] || fail "--seed needs a number"
[[ -z $warmup_arg || $warmup_arg =~ ^[0-9]+$ ]] || fail "--warmup needs a number"

size_list=()
IFS=, read -ra items <<< "$sizes"
for item in "${items[@]}"; do size_list+=("$(count "$item")"); done
mapfile -t size_list < <(printf '%s\n' "${size_list[@]}" | sort -nu)

IFS=, read -ra benches <<< "$bench_arg"
for b in "${benches[@]}"; do
    [[ " ${all_benches[*]} " == *" $b "* ]] || fail "no benchmark '$b' (there are: ${all_benches[*]})"
done

# runs_for LINES: timed runs for that size, from --runs or the default.
runs_for() {
    local item all="" n=""
    IFS=, read -ra items <<< "$runs_arg"
    for item in "${items[@]}"; do
        if [[ $item =~ ^[0-9]+$ ]]; then all=$item
        elif [[ $item =~ ^([0-9]+[kKmM]?)=([0-9]+)$ ]]; then
            [ "$(count "${BASH_REMATCH[1]}")" != "$1" ] || n=${BASH_REMATCH[2]}
        else fail "--runs: '$item' is neither N nor SIZE=N"; fi
    done
    n=${n:-$all}
    if [ -z "$n" ]; then
        if (($1 <= 1000000)); then n=5; elif (($1 <= 10000000)); then n=3; else n=1; fi
    fi
    ((n > 0)) || fail "--runs must be above 0"
    echo "$n"
}
warmup_for() {
    if [ -n "$warmup_arg" ]; then echo "$warmup_arg"
    elif (($1 <= 1000000)); then echo 1
    else echo 0; fi
}
declare -A runs_of warmup_of
for lines in "${size_list[@]}"; do
    runs_of[$lines]=$(runs_for "$lines")
    warmup_of[$lines]=$(warmup_for "$lines")
done

for tool in hyperfine mawk sort wc cmp python3 /usr/bin/time cmake; do
    command -v "$tool" > /dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
done

# --- build and data ----------------------------------------------------------
source bench/common.sh
build_cli run_bench
mkdir -p "$data_dir"
data_dir=$(cd "$data_dir" && pwd)
data_file() { echo "$data_dir/lines-$1-seed$seed.txt"; }

# --- measuring ---------------------------------------------------------------
# quote ARG...: the arguments as one line of single-quoted words, the way
# hyperfine splits a command when it runs it without a shell (-N).
quote() {
    local a line=""
    for a; do line+=" '${a//\'/\'\\\'\'}'"; done
    printf '%s' "${line# }"
}

# measure KEY LABEL [--stdout FILE] [--writes FILE] -- COMMAND...
# Times COMMAND with hyperfine and records its peak RSS with GNU time, in the
# same runs. COMMAND runs without a shell, so the peak is the program's own
# (through `env` or `sh -c '... | exec PROG'` it is the largest process of the
# tree). Standard output goes to /dev/null, or to FILE with --stdout; FILE, and
# the FILE of --writes, are removed before each run.
measure() {
    local key=$1 name=$2 stdout="" writes=""
    shift 2
    while [ "$1" != -- ]; do
        case $1 in
            --stdout) stdout=$2 ;;
            --writes) writes=$2 ;;
            *) fail "measure: unknown option $1" ;;
        esac
        shift 2
    done
    shift
    local opts=(-N --style none --runs "$runs_now" --warmup "$warmup_now"
                --export-json "$dir/$key.json" --command-name "$key")
    [ -z "$stdout" ] || opts+=(--output "$stdout")
    if [ -n "$stdout$writes" ]; then
        opts+=(--prepare "$(quote rm -f ${stdout:+"$stdout"} ${writes:+"$writes"})")
    fi
    echo "  $name" >&2
    rm -f "$dir/$key.mem"
    if ! hyperfine "${opts[@]}" "$(quote /usr/bin/time -f %M -a -o "$dir/$key.mem" -- "$@")" \
        > "$dir/$key.log" 2>&1; then
        cat "$dir/$key.log" >&2
        echo "run_bench: failed: $(quote "$@")" >&2
        exit 1
    fi
    printf '%s\t%s\n' "$key" "$name" >> "$dir/rows"
}

# The time of the GNU time wrapper itself, which the report takes off every timing.
calibrate() {
    hyperfine -N --style none --warmup 3 --runs 30 --export-json "$results/wrapper.json" \
        "$(quote /usr/bin/time -f %M -o /dev/null -- true)" true > /dev/null 2>&1
}

# --- run ---------------------------------------------------------------------
for lines in "${size_list[@]}"; do bench_data "$data_dir" "$lines" "$seed" > /dev/null; done

# A settings store of our own, so quillow-cli runs with the defaults.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
export XDG_CONFIG_HOME=$config

results=$data_dir/results-$(date +%Y%m%d-%H%M%S)
mkdir -p "$results"
calibrate

for lines in "${size_list[@]}"; do
    file=$(data_file "$lines")
    dir=$results/$(label "$lines")
    runs_now=${runs_of[$lines]}
    warmup_now=${warmup_of[$lines]}
    mkdir -p "$dir"
    echo "$lines $(stat -c %s "$file") $runs_now $warmup_now" > "$dir/meta"
    echo "timing $(label "$lines") lines (runs per command: $runs_now, warm-up: $warmup_now)" >&2
    cat "$file" > /dev/null # into the page cache
    for b in "${benches[@]}"; do "bench_$b"; done
done

if ((discard)); then
    for lines in "${size_list[@]}"; do rm -f "$(data_file "$lines")" "$(data_file "$lines").stamp"; done
fi

report=(python3 bench/report.py "$results")
"${report[@]}" | tee "$results/report.txt"
"${report[@]}" --markdown > "$results/report.md"
if ((markdown)); then
    echo
    cat "$results/report.md"
fi
echo -e "\nraw results: $results"
