#!/usr/bin/env bash
# A save killed with SIGKILL at any moment leaves no file behind but the
# source and the target, and the target is either the old file or the whole
# cleaned one. A 1 GiB source (128 MiB of lines, eight times over) is saved
# over an older target, and each run is killed at a random moment of the
# time a whole save takes: up to 20 kills, within a minute.
#
# usage: bash kill_during_save.sh PATH_OF_QUILLOW_CLI
. "$(dirname "$0")/script_prelude.sh" "$@"
now_ms() { date +%s%3N; }

dir="$work/save"
mkdir -p "$dir" "$work/ref"
# 128 MiB of distinct lines of 1,000 characters, eight times.
head -c 100663296 /dev/urandom | base64 -w 1000 > "$work/part"
for _ in 1 2 3 4 5 6 7 8; do cat "$work/part"; done > "$dir/in.txt"
rm "$work/part"
old="previous target"

# The whole save, timed: what it writes is the reference.
echo "$old" > "$dir/out.txt"
start=$(now_ms)
"$cli" "$dir/in.txt" -o "$dir/out.txt" || fail "the full save failed with status $?"
whole=$(($(now_ms) - start))
mv "$dir/out.txt" "$work/ref/out.txt"

kills=0 begun=$(now_ms)
while [ "$kills" -lt 20 ] && [ $(($(now_ms) - begun)) -lt 60000 ]; do
    [ -e "$dir/out.txt" ] || echo "$old" > "$dir/out.txt"
    "$cli" "$dir/in.txt" -o "$dir/out.txt" &
    pid=$!
    delay=$((RANDOM % whole))
    sleep "$((delay / 1000)).$(printf '%03d' $((delay % 1000)))"
    kill -KILL "$pid" 2> /dev/null
    wait "$pid" 2> /dev/null
    kills=$((kills + 1))
    left=$(ls -A "$dir" | grep -vx -e in.txt -e out.txt | tr '\n' ' ')
    [ -z "$left" ] || fail "killed after $delay ms: left $left"
    if [ "$(cat "$dir/out.txt" 2> /dev/null)" != "$old" ] && ! cmp -s "$dir/out.txt" "$work/ref/out.txt"; then
        fail "killed after $delay ms: the target is neither the old file nor the whole cleaned one"
    fi
    # Once replaced, the next run replaces the cleaned file again.
done
[ "$failures" -ne 0 ] || echo "ok: $kills kills during a save of ${whole} ms left only the source and the target"
finish
