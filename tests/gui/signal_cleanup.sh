#!/usr/bin/env bash
# The desktop program ended by a signal in the middle of a save (its
# unattended run, headless) ends as a signal ends it, but leaves no temporary
# file behind. strace holds the save file's fsync (the program's first; Qt's
# own event-loop wake-ups make the first write useless as a hold).
#
# usage: bash signal_cleanup.sh PATH_OF_QUILLOW
set -u
app=$(realpath "${1:?usage: signal_cleanup.sh PATH_OF_QUILLOW}")
work=$(realpath "$(mktemp -d)")
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
strays() { find "$work" -name '*.quillowtemp' | tr '\n' ' '; }
# A leak check (AddressSanitizer) cannot run under ptrace.
strace() { ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}" command strace "$@"; }
# PID has a file open in DIR that has no name (the save's, before it is in place).
holds_unnamed_file() { ls -l "/proc/$1/fd" 2> /dev/null | grep -q -- "-> $2/.* (deleted)\$"; }

if ! command -v strace > /dev/null || ! strace -qq -o /dev/null -e trace=none true 2> /dev/null; then
    echo "SKIP: strace is missing or may not trace here"
    exit 0
fi
awk 'BEGIN { for (i = 0; i < 200000; i++) printf "line %d\n", i % 150000 }' > "$work/big.txt"
failures=0
for sig in TERM INT HUP; do
    rm -f "$work/held.txt"
    strace -f -qq -o /dev/null -e trace=fsync -e inject=fsync:delay_enter=1500000:when=1 \
        "$app" "$work/big.txt" -o "$work/held.txt" > /dev/null 2>&1 &
    tracer=$!
    # The program runs below strace, which runs below the subshell that
    # backgrounds the strace function.
    pid=$tracer
    for _ in $(seq 1 200); do
        child=$(pgrep -P "$pid" | head -1)
        [ -n "$child" ] && pid=$child
        [ "$(cat /proc/"$pid"/comm 2> /dev/null)" = quillow ] && holds_unnamed_file "$pid" "$work" && break
        sleep 0.05
    done
    if ! holds_unnamed_file "$pid" "$work"; then
        wait "$tracer"
        echo "FAIL: SIG$sig: the held save never opened its file"
        failures=$((failures + 1))
        continue
    fi
    kill -"$sig" "$pid"
    wait "$tracer"
    status=$?
    if [ -n "$(strays)" ] || [ -e "$work/held.txt" ] || [ "$status" -lt 128 ]; then
        echo "FAIL: SIG$sig: status $status, left: $(strays) $( [ -e "$work/held.txt" ] && echo held.txt)"
        failures=$((failures + 1))
    else
        echo "ok: SIG$sig during a save ends the program and leaves nothing behind"
    fi
done
exit $((failures != 0))
