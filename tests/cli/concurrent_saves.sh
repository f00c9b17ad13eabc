#!/usr/bin/env bash
# Two quillow-cli runs writing one target at the same moment, many times: each
# must say it wrote (exit 0), the target must always be exactly one of the two
# results (never a mix, a prefix or the old file), and no temporary file may
# be left behind. A reader watching the target meanwhile only ever sees a
# complete file.
#
# usage: bash concurrent_saves.sh PATH_OF_QUILLOW_CLI
. "$(dirname "$0")/script_prelude.sh" "$@"

# Two inputs whose cleaned copies differ and take a few 1 MiB writes each.
awk 'BEGIN { for (i = 0; i < 150000; i++) printf "first %d\n", i % 100000 }' > "$work/a.txt"
awk 'BEGIN { for (i = 0; i < 150000; i++) printf "second %d\n", i % 90000 }' > "$work/b.txt"
"$cli" "$work/a.txt" "$work/a.expected" || exit 1
"$cli" --keep=last "$work/b.txt" "$work/b.expected" || exit 1

target="$work/out.txt"
echo "old" > "$target"
for round in $(seq 1 25); do
    "$cli" "$work/a.txt" "$target" & first=$!
    "$cli" --keep=last "$work/b.txt" "$target" & second=$!
    # Meanwhile, a reader; one copy is one open file, whatever is renamed later.
    for _ in 1 2 3 4 5; do
        cp "$target" "$work/seen"
        if ! cmp -s "$work/seen" "$work/a.expected" && ! cmp -s "$work/seen" "$work/b.expected" &&
            [ "$(cat "$work/seen")" != old ]; then
            fail "round $round: a reader saw an incomplete target"
            break
        fi
    done
    wait $first; a=$?
    wait $second; b=$?
    [ $a -eq 0 ] && [ $b -eq 0 ] || fail "round $round: exit statuses $a and $b"
    cmp -s "$target" "$work/a.expected" || cmp -s "$target" "$work/b.expected" ||
        fail "round $round: the target is neither result"
done
stray=$(find "$work" -name '*.quillowtemp' | tr '\n' ' ')
[ -z "$stray" ] || fail "left $stray"

[ "$failures" -ne 0 ] || echo "ok: 25 rounds of two concurrent saves"
finish
