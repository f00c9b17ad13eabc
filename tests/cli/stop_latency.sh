#!/usr/bin/env bash
# Stop means stop, timed with a generous bound. With a filter that burns its
# match limit on every line, one request (Ctrl-C, kill, a closed terminal)
# sent half a second into the run must end it within 2 s, status 130,
# "interrupted", no output and no temporary file; so must Ctrl-C while the
# output waits for a reader that does not read. A reader that went away ends
# the run quietly by SIGPIPE, at once when the first lines are out. A second
# request ends the program at once, even in the middle of a write, and
# leaves nothing behind.
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

# signal_and_wait PID SIG: sends SIG and waits at most 2 s for PID to end,
# then ends it for good. Sets took (ms) and status; false when it had to be killed.
signal_and_wait() {
    local pid=$1 start
    start=$(now_ms)
    kill -s "$2" "$pid"
    for _ in $(seq 1 40); do
        kill -0 "$pid" 2> /dev/null || break
        sleep 0.05
    done
    took=$(($(now_ms) - start))
    if kill -0 "$pid" 2> /dev/null; then
        kill -KILL "$pid"
        wait "$pid" 2> /dev/null
        return 1
    fi
    wait "$pid"
    status=$?
}

for sig in INT TERM HUP; do
    out="$work/out-$sig.txt"
    "$cli" "$work/slow.txt" "$out" --regex='(a|aa)+$' 2> "$work/err-$sig" &
    pid=$!
    sleep 0.5
    signal_and_wait "$pid" "$sig" || { fail "SIG$sig: still running 2 s after the request"; continue; }
    stopped_cleanly "SIG$sig" "$status" "$out" "$(strays)" && echo "ok: SIG$sig ended the run in $took ms"
    [ "$(cat "$work/err-$sig")" = "quillow-cli: 已中断" ] || fail "SIG$sig: said $(cat "$work/err-$sig")"
done

# A reader that does not read: the output waits in a write, and a signal
# still ends the run at once; a reader that went away ends it quietly, by
# SIGPIPE.
awk 'BEGIN { for (i = 0; i < 300000; i++) printf "unique line %d\n", i }' > "$work/many.txt"
mkfifo "$work/unread"
for from in file pipe; do
    exec 7<> "$work/unread"  # held open, never read: the pipe fills and the writer waits
    if [ $from = file ]; then
        "$cli" "$work/many.txt" > "$work/unread" 2> "$work/err-unread" &
    else
        cat "$work/many.txt" | "$cli" > "$work/unread" 2> "$work/err-unread" &
    fi
    pid=$!
    sleep 1
    before=$failures
    if signal_and_wait "$pid" INT; then
        [ "$status" -eq 130 ] || fail "a signal while waiting for the reader ($from): exit status $status, expected 130"
        [ "$(cat "$work/err-unread")" = "quillow-cli: 已中断" ] ||
            fail "waiting for the reader ($from): said $(cat "$work/err-unread")"
    else
        fail "a signal while waiting for the reader ($from): still running 2 s later"
    fi
    exec 7<&-
    [ "$failures" -ne "$before" ] || echo "ok: a signal while waiting for the reader ($from) ended the run in $took ms"
done

"$cli" "$work/many.txt" 2> "$work/err-closed" | head -1 > /dev/null
status=${PIPESTATUS[0]}
before=$failures
[ "$status" -eq 141 ] || fail "a closed pipe: exit status $status, expected 141 (SIGPIPE)"
[ ! -s "$work/err-closed" ] || fail "a closed pipe: said $(cat "$work/err-closed")"
[ "$failures" -ne "$before" ] || echo "ok: a closed pipe ends the run quietly by SIGPIPE"

# Between two pipes the first lines go out as they are read: a reader that
# has what it wants ends the run at once, not after a gigabyte of input.
start=$(now_ms)
yes | head -c 1G | timeout 20 "$cli" 2> "$work/err-early" | head -1 > "$work/early"
status=${PIPESTATUS[2]}
took=$(($(now_ms) - start))
before=$failures
[ "$status" -eq 141 ] || fail "yes | head -c 1G | quillow-cli | head -1: exit status $status, expected 141 (SIGPIPE)"
[ "$(cat "$work/early")" = y ] || fail "yes | head -c 1G | quillow-cli | head -1: wrote $(head -c 40 "$work/early")"
[ ! -s "$work/err-early" ] || fail "yes | head -c 1G | quillow-cli | head -1: said $(cat "$work/err-early")"
[ "$failures" -ne "$before" ] || echo "ok: yes | head -c 1G | quillow-cli | head -1 ended in $took ms"

# The second request while the save writes its file: strace
# holds the first write into it for a few seconds; both signals arrive
# meanwhile and are handled when the write goes on.
awk 'BEGIN { for (i = 0; i < 200000; i++) printf "line %d\n", i % 150000 }' > "$work/big.txt"
if ! command -v strace > /dev/null; then
    echo "SKIP: strace is not installed"
elif ! strace -qq -o /dev/null -e trace=none true 2> /dev/null; then
    echo "SKIP: strace may not trace here (ptrace not permitted)"
else
    strace -f -qq -o /dev/null -e trace=write -e inject=write:delay_enter=3000000:when=1 \
        "$cli" "$work/big.txt" "$work/held.txt" 2> /dev/null &
    tracer=$!
    pid=$(started "$tracer")
    for _ in $(seq 1 100); do
        holds_unnamed_file "$pid" "$work" && break
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
