#!/usr/bin/env bash
# quillow-cli where the system holds back: with no thread to spare
# (prlimit --nproc) the work runs on one core and gives the same file; with
# little address space (ulimit -v) a run either succeeds (through a
# temporary file when the scan does not fit) with the same file, or ends with
# the out-of-memory error, status 2 or 3, never an abort. No temporary file
# is left either way. Parts whose tool is missing print "SKIP: reason".
#
# usage: bash resource_limits.sh PATH_OF_QUILLOW_CLI
. "$(dirname "$0")/script_prelude.sh" "$@"
chmod 755 "$work"
export TMPDIR="$work"

# Over 16 MB and 65,536 lines: reading, splitting and comparing all ask for
# a second thread.
awk 'BEGIN { for (i = 0; i < 800000; i++) printf "a line of the generated file %d\n", i % 500000 }' \
    > "$work/in.txt"
chmod 644 "$work/in.txt"
"$cli" "$work/in.txt" "$work/expected.txt" 2> /dev/null || { echo "FAIL: the plain run"; exit 1; }

# One process per user: no thread can start. Root is not held to the limit,
# so it runs the program as nobody.
mkdir -m 777 "$work/one"
as_limited=(prlimit --nproc=1)
if [ "$(id -u)" -eq 0 ]; then
    if command -v setpriv > /dev/null; then
        as_limited=(setpriv --reuid=65534 --regid=65534 --clear-groups prlimit --nproc=1)
    else
        as_limited=()
    fi
fi
if [ ${#as_limited[@]} -eq 0 ]; then
    echo "SKIP: cannot run as another user to limit the number of processes"
else
    no_leak_check "${as_limited[@]}" "$cli" "$work/in.txt" "$work/one/out.txt" 2> "$work/one/err"
    status=$?
    if [ "$status" -ne 0 ]; then
        fail "one thread only: exit status $status: $(tail -1 "$work/one/err")"
    elif ! cmp -s "$work/one/out.txt" "$work/expected.txt"; then
        fail "one thread only: a different file"
    else
        echo "ok: one thread only gives the same file"
    fi
fi

# From too little to start at all up to enough: every status is a clear one.
ran=0
kibs=$(seq 40000 6000 160000)
if sanitized; then
    echo "SKIP: address-space limits (AddressSanitizer reserves terabytes of it)"
    kibs= ran=1
fi
for kib in $kibs; do
    err="$work/err-$kib"
    (ulimit -v "$kib" && exec "$cli" "$work/in.txt" "$work/out-$kib.txt") 2> "$err"
    status=$?
    last=$(tail -1 "$err")
    case $status in
    0)
        ran=$((ran + 1))
        cmp -s "$work/out-$kib.txt" "$work/expected.txt" || fail "ulimit -v $kib: a different file"
        ;;
    127) ;;  # the loader could not map the libraries: the program never started
    2 | 3)
        [[ $last == *"内存不足"* ]] || fail "ulimit -v $kib: status $status with the last line: $last"
        ;;
    *) fail "ulimit -v $kib: status $status: $last" ;;
    esac
done
[ "$ran" -gt 0 ] || fail "no limit up to 160000 KiB let the run succeed"
stray=$(find "$work" -name '*.quillowtemp' -o -name 'quillow-std*' | tr '\n' ' ')
[ -z "$stray" ] || fail "left $stray"
[ "$failures" -ne 0 ] || [ -z "$kibs" ] ||
    echo "ok: ulimit -v from 40000 to 160000 KiB: every run succeeded or ran out of memory clearly"

finish
