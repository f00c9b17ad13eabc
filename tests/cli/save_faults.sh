#!/usr/bin/env bash
# Real file-system faults under quillow-cli's save: a full disk on the first
# and on a later write, a failing fsync, a failing rename (injected with
# strace), and a genuinely full filesystem (a 64 KiB tmpfs in a private mount
# namespace). Each must leave the source byte for byte, leave an existing
# target as it was, leave no *.quillowtemp file and exit with status 3; the
# injected ones end with a line naming the target and the system's reason.
# Parts whose tool is missing or not permitted print "SKIP: reason".
#
# usage: bash save_faults.sh PATH_OF_QUILLOW_CLI
. "$(dirname "$0")/script_prelude.sh" "$@"

# About 3.6 MB with duplicates, so the output takes several 1 MiB writes.
big="$work/big.orig"
awk 'BEGIN { for (i = 0; i < 300000; i++) printf "line number %d\n", i % 200000 }' > "$big"

# check NAME STATUS SOURCE ORIGINAL [TARGET TARGET_ORIGINAL]
check() {
    local name=$1 status=$2 src=$3 orig=$4 target=${5:-} target_orig=${6:-}
    local before=$failures
    [ "$status" -eq 3 ] || fail "$name: exit status $status, expected 3"
    cmp -s "$src" "$orig" || fail "$name: the source changed"
    if [ -n "$target" ]; then
        cmp -s "$target" "$target_orig" || fail "$name: the existing target changed"
    fi
    local stray
    stray=$(find "$(dirname "$src")" -name '*.quillowtemp' | tr '\n' ' ')
    [ -z "$stray" ] || fail "$name: left $stray"
    [ "$failures" -ne "$before" ] || echo "ok: $name"
}

# inject NAME IN_PLACE REASON STRACE_ARGS...: runs the save under strace.
# The program writes, syncs and renames nothing but its output (its
# temporary file has a name of its own), so the n-th call is the output's.
# The last line names the program, the target and the system's REASON.
inject() {
    local name=$1 in_place=$2 reason=$3
    shift 3
    local dir="$work/$name"
    mkdir -p "$dir"
    cp "$big" "$dir/in.txt"
    local out="$dir/in.txt" target="" target_orig=""
    if [ "$in_place" = no ]; then
        out="$dir/out.txt"
        echo "previous output" > "$out"
        cp "$out" "$dir/out.orig"
        target=$out
        target_orig="$dir/out.orig"
    fi
    strace -f -qq -o /dev/null "$@" \
        "$cli" "$dir/in.txt" -o "$out" 2> "$dir/err"
    check "$name" $? "$dir/in.txt" "$big" "$target" "$target_orig"
    local last
    last=$(tail -1 "$dir/err")
    [ "$last" = "quillow-cli: $out: $reason" ] || fail "$name: the last line is: $last"
}

if ! command -v strace > /dev/null; then
    echo "SKIP: strace is not installed"
elif ! strace -qq -o /dev/null -e trace=none true 2> /dev/null; then
    echo "SKIP: strace may not trace here (ptrace not permitted)"
else
    full="No space left on device" io="Input/output error" xdev="Invalid cross-device link"
    inject disk-full-first-write yes "$full" -e trace=write -e inject=write:error=ENOSPC:when=1
    inject disk-full-later-write no "$full" -e trace=write -e inject=write:error=ENOSPC:when=3
    inject fsync-fails yes "$io" -e trace=fsync -e inject=fsync:error=EIO:when=1
    inject rename-fails yes "$xdev" -e trace=rename,renameat,renameat2 \
        -e inject=rename,renameat,renameat2:error=EXDEV
    inject rename-fails-new-target no "$xdev" -e trace=rename,renameat,renameat2 \
        -e inject=rename,renameat,renameat2:error=EXDEV
fi

# A filesystem that is really full: the source (40 KB) fits in 64 KiB, the
# cleaned copy beside it does not.
full_fs() {
    local mnt="$work/full"
    mkdir -p "$mnt"
    awk 'BEGIN { for (i = 0; i < 4000; i++) printf "entry %04d\n", i % 3900 }' > "$work/small.orig"
    cat > "$work/full.sh" <<'INNER'
set -u
cli=$1 work=$2 mnt=$3
mount -t tmpfs -o size=64k quillow-full "$mnt" || exit 99
cp "$work/small.orig" "$mnt/in.txt" || exit 99
"$cli" --in-place "$mnt/in.txt" 2>/dev/null
echo "in-place $?"
cmp -s "$mnt/in.txt" "$work/small.orig" && echo "in-place-source-same"
# A new target on the full filesystem, replacing an older one.
echo "older" > "$mnt/out.txt"
"$cli" "$work/small.orig" "$mnt/out.txt" 2>/dev/null
echo "new-target $?"
[ "$(cat "$mnt/out.txt")" = older ] && echo "new-target-kept"
find "$mnt" -name '*.quillowtemp' | sed 's/^/stray /'
INNER
    local result
    result=$(in_private_mounts "$work/full.sh" "$cli" "$work" "$mnt") || { echo "$result"; return; }
    local before=$failures
    grep -qx "in-place 3" <<< "$result" || fail "full filesystem in place: $(grep in-place <<< "$result" | head -1)"
    grep -qx "in-place-source-same" <<< "$result" || fail "full filesystem in place: the source changed"
    grep -qx "new-target 3" <<< "$result" || fail "full filesystem new target: $(grep new-target <<< "$result" | head -1)"
    grep -qx "new-target-kept" <<< "$result" || fail "full filesystem: the older target was destroyed"
    ! grep -q '^stray' <<< "$result" || fail "full filesystem: $(grep '^stray' <<< "$result" | tr '\n' ' ')"
    [ "$failures" -ne "$before" ] || echo "ok: full-filesystem"
}

full_fs

finish
