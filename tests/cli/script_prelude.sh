# Sourced by the test scripts of quillow-cli: the program's path from the
# first argument, a private work folder (removed on exit) that holds the
# settings store and the temporary folder, the C locale, failures counted.
#
# usage: . "$(dirname "$0")/script_prelude.sh" "$@"
set -u

cli=${1:?usage: $(basename "$0") PATH_OF_QUILLOW_CLI}
[ -x "$cli" ] || { echo "$(basename "$0"): $cli is not an executable" >&2; exit 2; }
cli=$(realpath "$cli")
work=$(realpath "$(mktemp -d)")
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" TMPDIR="$work/tmp" LC_ALL=C.UTF-8
mkdir -p "$XDG_CONFIG_HOME" "$TMPDIR"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A build with AddressSanitizer (QUILLOW_SANITIZE): its leak check needs
# ptrace and a thread of its own, so runs that strace traces, or that may
# start no thread, go without it.
sanitized() { ldd "$cli" 2> /dev/null | grep -q libasan; }
no_leak_check() { ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}" "$@"; }
strace() { no_leak_check command strace "$@"; }

# started PID: the program's pid once it runs under PID (strace, or the
# subshell a backgrounded function runs in, with strace below it).
started() {
    local pid=$1 child
    for _ in $(seq 1 600); do
        child=$(pgrep -P "$pid" | head -1)
        if [ -n "$child" ]; then
            pid=$child
            [ "$(cat /proc/"$pid"/comm 2> /dev/null)" = "$(basename "$cli" | cut -c1-15)" ] && break
            continue
        fi
        sleep 0.05
    done
    echo "$pid"
}

# Ends the script: status 1 after any failure, else 0.
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures failure(s)"
        exit 1
    fi
    exit 0
}

# holds_unnamed_file PID DIR: PID has a file open in DIR that has no name
# (the save's file before it is put in place).
holds_unnamed_file() {
    ls -l "/proc/$1/fd" 2> /dev/null | grep -q -- "-> $2/.* (deleted)\$"
}

# stopped_cleanly NAME STATUS OUTPUT LEFT: a run ended by Ctrl-C or a
# signal exited 130, wrote no OUTPUT and left nothing (LEFT: what it left).
# True when all three hold; each that does not is a failure.
stopped_cleanly() {
    local before=$failures
    [ "$2" -eq 130 ] || fail "$1: exit status $2, expected 130"
    [ ! -e "$3" ] || fail "$1: an output was written"
    [ -z "$4" ] || fail "$1: left $4"
    [ "$failures" -eq "$before" ]
}

# in_private_mounts SCRIPT ARGS...: runs SCRIPT with bash in a private
# user and mount namespace, where it may mount a small tmpfs (its status
# 99 says it could not), and prints what it printed. Where that is not
# possible it prints a SKIP line instead and returns 1.
in_private_mounts() {
    if ! command -v unshare > /dev/null; then
        echo "SKIP: unshare is not installed"
        return 1
    fi
    local out rc
    out=$(unshare -Urm bash "$@" 2>/dev/null)
    rc=$?
    if [ $rc -eq 99 ] || { [ $rc -ne 0 ] && [ -z "$out" ]; }; then
        echo "SKIP: cannot mount a small tmpfs in a private namespace (unshare -Urm)"
        return 1
    fi
    printf '%s\n' "$out"
}
