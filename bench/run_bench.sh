#!/usr/bin/env bash
# Times quillow-cli against wc -l, mawk and sort -u on generated files of 1M
# and 10M lines, and prints medians, peak memory and the ratios we aim for.
#
# usage: bench/run_bench.sh [--quick] [--runs N]
#   --quick    only the 1M-line file
#   --runs N   timed runs per command (default 5 for 1M lines, 3 for 10M)
# A full run takes 10 to 20 minutes, mostly mawk on the 10M-line file (its time
# grows much faster than linearly with that many keys); --quick about one.
# QUILLOW_BUILD_DIR names a build to use instead of build-bench (Release).
# The generated files stay in bench/out/ and are reused while the generator
# and its arguments are unchanged.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

quick=0
runs=""
while (($#)); do
    case $1 in
        --quick) quick=1 ;;
        --runs) runs=${2:?--runs needs a number}; shift ;;
        -h | --help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "run_bench: unknown argument $1 (try --help)" >&2; exit 2 ;;
    esac
    shift
done
for tool in hyperfine mawk sort wc python3 /usr/bin/time cmake; do
    command -v "$tool" > /dev/null ||
        { echo "run_bench: $tool is missing (scripts/setup.sh installs it)" >&2; exit 2; }
done

# --- build -------------------------------------------------------------------
build=${QUILLOW_BUILD_DIR:-build-bench}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLOW_GUI=OFF > /dev/null
fi
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
if [ "$build_type" != Release ]; then
    echo "run_bench: warning: $build is a '${build_type}' build; the timings will not be representative" >&2
fi
log=$(mktemp)
if ! cmake --build "$build" -j2 --target quillow-cli > "$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "run_bench: building quillow-cli in $build failed" >&2
    exit 1
fi
rm -f "$log"
cli=$(cd "$build" && pwd)/quillow-cli

# --- data --------------------------------------------------------------------
out=$root/bench/out
mkdir -p "$out"
gen_args=(--seed 1 --avg-len 60 --dup-share 0.3 --case-variants 0.2 --blank-variants 0.1 --non-ascii 0.05)

# make_file NAME LINES: generates bench/out/NAME.txt unless an up-to-date copy exists.
make_file() {
    local file=$out/$1.txt
    local want
    want="$2 ${gen_args[*]} $(sha256sum < bench/gen_lines.py | cut -c1-16)"
    if [ -f "$file" ] && [ "$(cat "$file.stamp" 2> /dev/null)" = "$want" ]; then
        return
    fi
    echo "generating $file ($2 lines)..." >&2
    rm -f "$file.stamp"
    python3 bench/gen_lines.py --lines "$2" "${gen_args[@]}" -o "$file.part"
    mv "$file.part" "$file"
    echo "$want" > "$file.stamp"
}

# name, lines, timed runs, warm-up runs (the page cache is filled beforehand)
sets=("lines_1m 1000000 ${runs:-5} 1")
((quick)) || sets+=("lines_10m 10000000 ${runs:-3} 0")

# A settings store of our own, so quillow-cli runs with the defaults.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
export XDG_CONFIG_HOME=$config

stamp=$(date +%Y%m%d-%H%M%S)
results=$out/results-$stamp
mkdir -p "$results"

# measure DIR NAME COMMAND: median time with hyperfine, peak RSS with time(1).
# The output file of a clean-up is removed before each run.
measure() {
    local dir=$1 name=$2 cmd=$3
    local prep="rm -f $(printf %q "$dir/clean.out")"
    echo "  $name" >&2
    hyperfine --style none --warmup "$warmup" --runs "$runs_now" --prepare "$prep" \
        --export-json "$dir/$name.json" --command-name "$name" "$cmd" > /dev/null ||
        { echo "run_bench: '$cmd' failed" >&2; exit 1; }
    eval "$prep"
    /usr/bin/time -f %M -o "$dir/$name.mem" sh -c "$cmd" 2> "$dir/$name.err" ||
        { cat "$dir/$name.err" >&2; echo "run_bench: '$cmd' failed" >&2; exit 1; }
}

for set in "${sets[@]}"; do
    read -r name lines _ _ <<< "$set"
    make_file "$name" "$lines"
done

for set in "${sets[@]}"; do
    read -r name lines runs_now warmup <<< "$set"
    file=$out/$name.txt
    dir=$results/$name
    mkdir -p "$dir"
    f=$(printf %q "$file")
    q=$(printf %q "$cli")
    o=$(printf %q "$dir/clean.out")
    echo "timing $name ($runs_now runs each)" >&2
    cat "$file" > /dev/null # into the page cache

    # The generated files hold no blank-only lines, so the clean-up keeping
    # first occurrences writes exactly what mawk writes.
    "$cli" -i "$file" -o "$dir/clean.out" -s 2 -c on -q 2> "$dir/clean.err" ||
        { cat "$dir/clean.err" >&2; echo "run_bench: quillow-cli -i $file failed" >&2; exit 1; }
    LC_ALL=C mawk '!a[$0]++' "$file" > "$dir/mawk.out"
    if cmp -s "$dir/clean.out" "$dir/mawk.out"; then
        echo same > "$dir/check"
    else
        echo differs > "$dir/check"
        echo "run_bench: warning: quillow-cli -s 2 -c on wrote other lines than mawk '!a[\$0]++'" >&2
    fi
    rm -f "$dir/clean.out" "$dir/mawk.out"

    measure "$dir" wc "wc -l $f > /dev/null"
    measure "$dir" mawk "LC_ALL=C mawk '!a[\$0]++' $f > /dev/null"
    measure "$dir" mawk_lower "LC_ALL=C mawk '!a[tolower(\$0)]++' $f > /dev/null"
    measure "$dir" sort_u "LC_ALL=C sort -u $f > /dev/null"
    measure "$dir" list_cs "$q --list -c on $f > /dev/null 2>&1"
    measure "$dir" list_ci "$q --list -c off $f > /dev/null 2>&1"
    measure "$dir" clean "$q -i $f -o $o -s 2 -c on -q"
    measure "$dir" mawk_clean "LC_ALL=C mawk '!a[\$0]++' $f > $o"
    rm -f "$dir/clean.out"
done

# --- report ------------------------------------------------------------------
python3 - "$results" "${sets[@]}" << 'PY'
import json, os, sys

results, sets = sys.argv[1], [s.split()[:3] for s in sys.argv[2:]]
rows = [
    ("wc", "wc -l F"),
    ("mawk", "mawk '!a[$0]++' F"),
    ("mawk_lower", "mawk '!a[tolower($0)]++' F"),
    ("sort_u", "LC_ALL=C sort -u F"),
    ("list_cs", "quillow-cli --list -c on F"),
    ("list_ci", "quillow-cli --list -c off F"),
    ("clean", "quillow-cli -i F -o OUT -s 2 -c on"),
    ("mawk_clean", "mawk '!a[$0]++' F > OUT"),
]
# (label, numerator, denominator, kind, target): time ratios are slower/faster.
ratios = [
    ("scan vs mawk", "mawk", "list_cs", "time", 10),
    ("scan vs sort -u", "sort_u", "list_cs", "time", 2.5),
    ("case-insensitive scan vs mawk tolower", "mawk_lower", "list_ci", "time", 5),
    ("clean-up vs mawk", "mawk_clean", "clean", "time", 8),
    ("clean-up vs sort -u", "sort_u", "clean", "time", 2),
    ("peak memory: scan vs mawk", "list_cs", "mawk", "mem", 1.2),
    ("peak memory: case-insensitive scan vs mawk tolower", "list_ci", "mawk_lower", "mem", 1.2),
    ("peak memory: clean-up vs mawk", "clean", "mawk_clean", "mem", 1.2),
]
for name, lines, runs in sets:
    d = os.path.join(results, name)
    med, low, mem = {}, {}, {}
    for key, _ in rows:
        with open(os.path.join(d, key + ".json")) as fh:
            r = json.load(fh)["results"][0]
        med[key], low[key] = r["median"], r["min"]
        with open(os.path.join(d, key + ".mem")) as fh:
            mem[key] = int(fh.read().split()[-1]) / 1024
    with open(os.path.join(d, "check")) as fh:
        check = fh.read().strip()
    path = os.path.join(os.path.dirname(results), name + ".txt")
    size = os.path.getsize(path) / 2**20
    print(f"\n== {int(lines):,} lines, {size:.0f} MiB ({runs} runs per command)")
    print(f"{'command':<40} {'median s':>9} {'min s':>8} {'peak MiB':>9}")
    for key, label in rows:
        print(f"{label:<40} {med[key]:>9.3f} {low[key]:>8.3f} {mem[key]:>9.1f}")
    print(f"\n{'ratio':<52} {'value':>7} {'target':>8}")
    for label, a, b, kind, target in ratios:
        if kind == "time":
            value = med[a] / med[b]
            ok = value >= target
            shown = f">= {target:g}x"
        else:
            value = mem[a] / mem[b]
            ok = value <= target
            shown = f"<= {target:g}x"
        print(f"{label:<52} {value:>6.2f}x {shown:>8}  {'met' if ok else 'MISSED'}")
    print(f"clean-up output equals mawk's: {'yes' if check == 'same' else 'NO'}")
print(f"\nraw results: {results}")
PY
