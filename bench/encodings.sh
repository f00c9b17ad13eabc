#!/usr/bin/env bash
# Times quillow-cli's clean-up of GB18030 and UTF-16LE files against
#   iconv -f X -t UTF-8 | mawk '!a[$0]++' | iconv -f UTF-8 -t X
# and compares peak memory with the clean-up of the same text in UTF-8.
# With --baseline, also times another quillow-cli (a build of an earlier
# commit) against this one on the UTF-8 benchmark file, runs interleaved so
# that both see the same load.
#
# usage: bench/encodings.sh [--lines N] [--runs N] [--non-ascii SHARE] [--baseline CLI]
#   --lines N          lines per file (default 10000000)
#   --runs N           timed runs per command (default 3)
#   --non-ascii SHARE  share of Chinese or accented lines (default 0.5)
#   --baseline CLI     a quillow-cli to compare with on UTF-8 (scan and clean-up)
# QUILLOW_BUILD_DIR names a build to use instead of build-bench (Release).
# The generated files stay in bench/out/ and are reused while the generator
# and its arguments are unchanged.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

lines=10000000
runs=3
non_ascii=0.5
baseline=""
while (($#)); do
    case $1 in
        --lines) lines=${2:?--lines needs a number}; shift ;;
        --runs) runs=${2:?--runs needs a number}; shift ;;
        --non-ascii) non_ascii=${2:?--non-ascii needs a share}; shift ;;
        --baseline) baseline=$(realpath "${2:?--baseline needs a quillow-cli}"); shift ;;
        -h | --help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "encodings: unknown argument $1 (try --help)" >&2; exit 2 ;;
    esac
    shift
done
for tool in mawk iconv python3 /usr/bin/time cmake cmp; do
    command -v "$tool" > /dev/null ||
        { echo "encodings: $tool is missing (scripts/setup.sh installs it)" >&2; exit 2; }
done

# --- build -------------------------------------------------------------------
source bench/common.sh
build_cli encodings

# --- data --------------------------------------------------------------------
out=$root/bench/out
mkdir -p "$out"
gen_args=(--seed 1 --avg-len 60 --dup-share 0.3 --case-variants 0.2 --blank-variants 0.1)
name=enc_${lines}_${non_ascii}
base=$out/$name
want="$lines $non_ascii ${gen_args[*]} $(sha256sum < bench/gen_lines.py | cut -c1-16)"
if [ ! -f "$base.UTF-16LE.txt" ] || [ "$(cat "$base.stamp" 2> /dev/null)" != "$want" ]; then
    echo "generating $base.* ($lines lines)..." >&2
    rm -f "$base.stamp"
    python3 bench/gen_lines.py --lines "$lines" "${gen_args[@]}" --non-ascii "$non_ascii" -o "$base.UTF-8.txt"
    for enc in GB18030 UTF-16LE; do
        iconv -f UTF-8 -t "$enc" "$base.UTF-8.txt" > "$base.$enc.txt"
    done
    echo "$want" > "$base.stamp"
fi
utf8_bench=""
if [ -n "$baseline" ]; then
    # The UTF-8 file of bench/run_bench.sh, for the speed of today's scan.
    utf8_bench=$out/lines_${lines}_utf8.txt
    bench_want="$lines --non-ascii 0.05 ${gen_args[*]} $(sha256sum < bench/gen_lines.py | cut -c1-16)"
    if [ ! -f "$utf8_bench" ] || [ "$(cat "$utf8_bench.stamp" 2> /dev/null)" != "$bench_want" ]; then
        echo "generating $utf8_bench..." >&2
        python3 bench/gen_lines.py --lines "$lines" "${gen_args[@]}" --non-ascii 0.05 -o "$utf8_bench"
        echo "$bench_want" > "$utf8_bench.stamp"
    fi
fi

config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
export XDG_CONFIG_HOME=$config
results=$out/encodings-$(date +%Y%m%d-%H%M%S)
mkdir -p "$results"
scratch=$results/clean.out

# --- runs --------------------------------------------------------------------
# One timed run: appends "seconds peak-KiB" to $results/NAME. The previous
# run's output is on disk first, so its write-back does not slow this one.
timed() {
    local name=$1 cmd=$2
    rm -f "$scratch"
    sync
    /usr/bin/time -f '%e %M' -o "$results/$name.run" sh -c "$cmd" 2> "$results/$name.err" ||
        { cat "$results/$name.err" >&2; echo "encodings: '$cmd' failed" >&2; exit 1; }
    tail -n 1 "$results/$name.run" >> "$results/$name"
}

q=$(printf %q "$cli")
o=$(printf %q "$scratch")
declare -a names cmds
add() { names+=("$1"); cmds+=("$2"); }
add utf8 "$q $(printf %q "$base.UTF-8.txt") $o"
for enc in GB18030 UTF-16LE; do
    f=$(printf %q "$base.$enc.txt")
    add "quillow_$enc" "$q $f $o"
    add "pipeline_$enc" "iconv -f $enc -t UTF-8 $f | LC_ALL=C mawk '!a[\$0]++' | iconv -f UTF-8 -t $enc > $o"
done
if [ -n "$baseline" ]; then
    b=$(printf %q "$baseline")
    u=$(printf %q "$utf8_bench")
    # A baseline built before quillow-cli took uniq's letters reads the options of its time.
    add before_list "$b --list -c on $u > /dev/null 2>&1"
    add after_list "$q --list $u > /dev/null 2>&1"
    add before_list_ci "$b --list -c off $u > /dev/null 2>&1"
    add after_list_ci "$q --list -i $u > /dev/null 2>&1"
    add before_clean "$b -i $u -o $o -s 2 -c on -q"
    add after_clean "$q $u $o"
fi

# The clean-up must write what the pipeline writes.
for enc in GB18030 UTF-16LE; do
    "$cli" "$base.$enc.txt" "$results/q.$enc" 2> /dev/null
    iconv -f "$enc" -t UTF-8 "$base.$enc.txt" | LC_ALL=C mawk '!a[$0]++' | iconv -f UTF-8 -t "$enc" > "$results/p.$enc"
    if cmp -s "$results/q.$enc" "$results/p.$enc"; then echo same > "$results/check.$enc"; else echo differs > "$results/check.$enc"; fi
    rm -f "$results/q.$enc" "$results/p.$enc"
done

cat "$base".*.txt > /dev/null # into the page cache
# Rounds over all commands, so that a change of load hits each alike; every
# other round runs them in reverse order (before/after pairs swap places).
for ((round = 1; round <= runs; round++)); do
    echo "round $round of $runs" >&2
    if ((round % 2 == 0)); then
        for ((i = ${#names[@]} - 1; i >= 0; i--)); do timed "${names[$i]}" "${cmds[$i]}"; done
    else
        for i in "${!names[@]}"; do timed "${names[$i]}" "${cmds[$i]}"; done
    fi
done
rm -f "$scratch"

# --- report ------------------------------------------------------------------
python3 - "$results" "$lines" "$non_ascii" "$runs" "${names[@]}" << 'PY'
import os, statistics, sys

results, lines, share, runs, names = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5:]
med, peak = {}, {}
for n in names:
    with open(os.path.join(results, n)) as fh:
        rows = [l.split() for l in fh if l.strip()]
    med[n] = statistics.median(float(r[0]) for r in rows)
    peak[n] = max(int(r[1]) for r in rows) / 1024
print(f"\n== {lines:,} lines, share of non-ASCII lines {share}, {runs} runs per command (median, peak RSS)")
for n in names:
    print(f"{n:<22} {med[n]:>8.2f} s {peak[n]:>9.1f} MiB")
print(f"\n{'ratio':<58} {'value':>7} {'target':>8}")
def row(label, value, target, higher):
    ok = value >= target if higher else value <= target
    print(f"{label:<58} {value:>6.2f}x {('>= ' if higher else '<= ') + format(target, 'g') + 'x':>8}  {'met' if ok else 'MISSED'}")
for enc in ("GB18030", "UTF-16LE"):
    row(f"{enc}: pipeline time / quillow-cli time", med[f"pipeline_{enc}"] / med[f"quillow_{enc}"], 4, True)
    row(f"{enc}: quillow-cli peak / UTF-8 run's peak", peak[f"quillow_{enc}"] / peak["utf8"], 1.5, False)
    with open(os.path.join(results, "check." + enc)) as fh:
        print(f"{enc}: clean-up output equals the pipeline's: {'yes' if fh.read().strip() == 'same' else 'NO'}")
for what in ("list", "list_ci", "clean"):
    if f"after_{what}" in med:
        row(f"UTF-8 {what}: this build / baseline (time)", med[f"after_{what}"] / med[f"before_{what}"], 1.05, False)
print(f"\nraw results: {results}")
PY
