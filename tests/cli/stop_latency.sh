#!/usr/bin/env bash
# Stop means stop, timed with a generous bound. With a filter that burns its
# match limit on every line, one request (Ctrl-C, kill, a closed terminal)
# sent half a second into the run must end it within 2 s, status 130, with no
# output and no temporary file. A second request ends the program at once,
# even in the middle of a write, and leaves nothing behind.
# Parts whose tool is missing or not permitted print "SKIP: reason".
#
# usage: bash stop_latency.sh PATH_OF_QUILLOW_CLI
. "$(dirname "$0")/script_prelude.sh" "$@"
now_ms() { date +%s%3N; }
strays() { find "$work" -name '*.quillowtemp' | tr '\n' ' '; }

# (a|aa)+$ backtracks exponentially on a run of a's that ends otherwise:
# minutes of work for 20,000 lines, each hitting the match limit.
awk 'BEGIN { for (i = 0; i < 20000; i++) printf "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab%d\n", i % 10000 }' \
    > "$work/slow.txt"

for sig in INT TERM HUP; do
    out="$work/out-$sig.txt"
    "$cli" -q -i "$work/slow.txt" -o "$out" -s 2 -x '(a|aa)+$' 2> /dev/null &
    pid=$!
    sleep 0.5
    start=$(now_ms)
    kill -s "$sig" "$pid"
    # Waits at most 2 s, then ends it for good.
    for _ in $(seq 1 40); do
        kill -0 "$pid" 2> /dev/null || break
        sleep 0.05
    done
    took=$(($(now_ms) - start))
    if kill -0 "$pid" 2> /dev/null; then
        kill -KILL "$pid"
        wait "$pid" 2> /dev/null
        fail "SIG$sig: still running 2 s after the request"
        continue
    fi
    wait "$pid"
    stopped_cleanly "SIG$sig" $? "$out" "$(strays)" && echo "ok: SIG$sig ended the run in $took ms"
done

# The second request while the save writes its file: strace holds the
# first write into it for a few seconds; both signals arrive meanwhile and
# are handled when the write goes on.
awk 'BEGIN { for (i = 0; i < 200000; i++) printf "line %d\n", i % 150000 }' > "$work/big.txt"
if ! command -v strace > /dev/null; then
    echo "SKIP: strace is not installed"
elif ! strace -qq -o /dev/null -e trace=none true 2> /dev/null; then
    echo "SKIP: strace may not trace here (ptrace not permitted)"
else
    strace -f -qq -o /dev/null -e trace=write -e inject=write:delay_enter=3000000:when=1 \
        "$cli" -q -i "$work/big.txt" -o "$work/held.txt" -s 2 2> /dev/null &
    tracer=$!
    pid=
    for _ in $(seq 1 100); do
        pid=$(pgrep -P "$tracer" | head -1)
        [ -n "$pid" ] && holds_unnamed_file "$pid" "$work" && break
        sleep 0.05
    done
    if [ -z "$pid" ] || ! holds_unnamed_file "$pid" "$work"; then
        wait "$tracer"
        fail "the held save never opened its file"
    else
        kill -INT "$pid"
        kill -TERM "$pid"
        wait "$tracer"
        status=$?
        before=$failures
        # Ended by the signal itself (128 + 15), not by the stop question.
        [ "$status" -eq 143 ] || fail "second request during the save: exit status $status, expected 143"
        [ -z "$(strays)" ] || fail "second request during the save: left $(strays)"
        [ ! -e "$work/held.txt" ] || fail "second request during the save: an output was written"
        [ "$failures" -ne "$before" ] || echo "ok: a second request during the save left nothing behind"
    fi
fi

finish
