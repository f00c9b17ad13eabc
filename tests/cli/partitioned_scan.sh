#!/usr/bin/env bash
# quillow-cli given less memory than a file takes (--max-memory 4K) scans it
# through a temporary file and gives what a run in memory gives: the same
# cleaned file (read again from the source), list and counts, on files with
# many and few duplicates (enough bytes for the in-memory run to record, hash
# and gather on two cores), CR LF and NUL ends, with and without a filter, case
# folded or not, trimmed, fields and characters skipped, compatibility forms,
# another encoding; standard output gets
# the input as it is when nothing is to be dropped; standard input is
# copied to the temporary file first. The temporary folder is empty after
# every run: a success, a stop (Ctrl-C), and a full temporary filesystem (a
# 64 KiB tmpfs in a private mount namespace), which ends with status 2, a
# line naming the folder and the reason, and the source as it was.
# Parts whose tool is missing or not permitted print "SKIP: reason".
#
# usage: bash partitioned_scan.sh PATH_OF_QUILLOW_CLI
. "$(dirname "$0")/script_prelude.sh" "$@"
gen="$(dirname "$0")/../../bench/gen_lines.py"
leftovers() { find "$TMPDIR" -mindepth 1 | tr '\n' ' '; }

common=(--lines 20000 --pool 6000 --avg-len 40 --case-variants 0.3 --blank-variants 0.2 --empty-lines 0.02
        --non-ascii 0.2)
python3 "$gen" "${common[@]}" --seed 21 --dup-share 0.6 -o "$work/many.txt"
python3 "$gen" "${common[@]}" --seed 22 --dup-share 0.02 --lines 450000 -o "$work/few.txt"
python3 "$gen" "${common[@]}" --seed 23 --dup-share 0.3 --crlf -o "$work/crlf.txt"
iconv -f UTF-8 -t GB18030 "$work/many.txt" > "$work/gb18030.txt"

# same NAME FILE OPTIONS...: the clean-up, --list and --count agree in
# memory and partitioned, and nothing stays in the temporary folder.
same() {
    local name=$1 file=$2 before=$failures
    shift 2
    local mode
    for mode in auto 4K; do
        "$cli" --max-memory "$mode" "$@" "$file" "$work/out-$mode" ||
            fail "$name ($mode): clean-up status $?"
        "$cli" --list --format tsv --max-memory "$mode" "$@" "$file" > "$work/list-$mode" ||
            fail "$name ($mode): --list status $?"
        "$cli" -c --max-memory "$mode" "$@" "$file" > "$work/count-$mode" ||
            fail "$name ($mode): -c status $?"
    done
    local what
    for what in out list count; do
        cmp -s "$work/$what-auto" "$work/$what-4K" || fail "$name: the $what differs"
    done
    [ -s "$work/list-auto" ] || fail "$name: no duplicates to compare"
    [ -z "$(leftovers)" ] || fail "$name: left $(leftovers)"
    [ "$failures" -ne "$before" ] || echo "ok: $name"
}

tr '\n' '\0' < "$work/many.txt" > "$work/nul.txt"

same "many duplicates, folded case" "$work/many.txt" -i
same "many duplicates, exact" "$work/many.txt"
same "trimmed, from the third character" "$work/many.txt" -i --trim -s 2
same "filtered, joined matches" "$work/many.txt" -i --regex='[0-9]+|[A-Z][a-z]+' --match=0
same "compatibility forms" "$work/many.txt" -i --compat
same "fields skipped, characters checked" "$work/many.txt" -f 1 -w 6
same "the second blank-separated field" "$work/many.txt" -i -k 2
same "few duplicates" "$work/few.txt"
same "CR LF ends" "$work/crlf.txt" -i
same "NUL ends lines" "$work/nul.txt" -z
same "GB18030" "$work/gb18030.txt" -i --encoding=GB18030

# Standard output gets the file as it is when there is nothing to drop.
before=$failures
python3 "$gen" --lines 20000 --seed 24 --dup-share 0 --empty-lines 0 -o "$work/unique.txt"
"$cli" --max-memory 4K "$work/unique.txt" > "$work/passed.txt" || fail "passed through: status $?"
cmp -s "$work/passed.txt" "$work/unique.txt" || fail "passed through: not the input"
[ "$failures" -ne "$before" ] || echo "ok: nothing to drop passes the file through"

# Standard input bigger than the memory given: copied to the temporary
# file first, from a pipe and from a file behind it, with the same result.
before=$failures
"$cli" "$work/many.txt" "$work/stream-expected" || fail "stream: in-memory status $?"
cat "$work/many.txt" | "$cli" --max-memory 4K > "$work/stream-piped" || fail "piped: status $?"
"$cli" --max-memory 4K - < "$work/many.txt" > "$work/stream-redirected" || fail "redirected: status $?"
cmp -s "$work/stream-piped" "$work/stream-expected" || fail "piped: the output differs"
cmp -s "$work/stream-redirected" "$work/stream-expected" || fail "redirected: the output differs"
cat "$work/unique.txt" | "$cli" --max-memory 4K | cmp -s - "$work/unique.txt" ||
    fail "piped, nothing to drop: not the input"
[ -z "$(leftovers)" ] || fail "stream: left $(leftovers)"
[ "$failures" -ne "$before" ] || echo "ok: standard input beyond the memory given is scanned through the disk"

# Ctrl-C half a second into a partitioned run under a slow filter.
awk 'BEGIN { for (i = 0; i < 20000; i++) printf "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab%d\n", i % 10000 }' > "$work/slow.txt"
"$cli" "$work/slow.txt" "$work/stopped.txt" --regex='(a|aa)+$' --max-memory 4K 2> /dev/null &
pid=$!
sleep 0.5
kill -INT "$pid"
wait "$pid"
stopped_cleanly stopped $? "$work/stopped.txt" "$(leftovers)" && echo "ok: a stopped partitioned run leaves nothing"

# A temporary filesystem too small for the partitions.
full_tmp() {
    local mnt="$work/full"
    mkdir -p "$mnt"
    cat > "$work/full.sh" <<'INNER'
set -u
cli=$1 work=$2 mnt=$3
mount -t tmpfs -o size=64k quillow-full "$mnt" || exit 99
TMPDIR=$mnt "$cli" "$work/many.txt" "$work/full-out.txt" --max-memory 4K 2> "$work/full-err"
echo "status $?"
find "$mnt" -mindepth 1 | sed 's/^/left /'
INNER
    cp "$work/many.txt" "$work/many.orig"
    local result
    result=$(in_private_mounts "$work/full.sh" "$cli" "$work" "$mnt") || { echo "$result"; return; }
    local before=$failures
    grep -qx "status 2" <<< "$result" || fail "full temporary filesystem: $(grep status <<< "$result")"
    local last
    last=$(tail -1 "$work/full-err")
    [ "$last" = "quillow-cli: $mnt: 无法写入临时文件（No space left on device）" ] ||
        fail "full temporary filesystem: the last line is: $last"
    cmp -s "$work/many.txt" "$work/many.orig" || fail "full temporary filesystem: the source changed"
    [ ! -e "$work/full-out.txt" ] || fail "full temporary filesystem: an output was written"
    ! grep -q '^left' <<< "$result" || fail "full temporary filesystem: $(grep '^left' <<< "$result" | tr '\n' ' ')"
    [ "$failures" -ne "$before" ] || echo "ok: a full temporary filesystem fails clearly and leaves nothing"
}

full_tmp

finish
