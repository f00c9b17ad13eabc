#!/usr/bin/env bash
# quillow-cli's outputs against the tools users know, byte for byte, on a
# generated file of 100,000 lines with case and blank variants and empty
# lines (ASCII, so that awk's tolower folds what quillow folds):
# - each output mode and comparison option against an awk two-pass form
#   (the first pass counts the keys, the second writes), in a table;
# - the whole-line modes against uniq on the file sorted (without blank
#   lines, which uniq would take for duplicates) and against sort -u;
# - -z against the same run on the text with its LF turned into NUL and
#   back (tr);
# - -k with -t against awk -F on comma-separated fields;
# - the first of each line between pipes (written as it is read while the
#   input is plain) against the same run from a file, on inputs that turn
#   late to another encoding, line end or a NUL.
# Lines whose compared part is empty or blank are never duplicates.
#
# usage: bash uniq_peers.sh PATH_OF_QUILLOW_CLI
. "$(dirname "$0")/script_prelude.sh" "$@"
export LC_ALL=C
gen="$(dirname "$0")/../../bench/gen_lines.py"
awk_bin=$(command -v mawk || command -v gawk || command -v awk)

python3 "$gen" --lines 100000 --pool 30000 --seed 31 --dup-share 0.4 --case-variants 0.3 --blank-variants 0.2 \
    --empty-lines 0.03 --non-ascii 0 -o "$work/lines.txt"
# Comma-separated fields, without quotes: what awk -F reads.
"$awk_bin" -v OFS=, '{ print NR % 1000, tolower($1), $3 }' "$work/lines.txt" > "$work/fields.csv"

# What each mode writes, from n[k] (the count of key k) and the line's key.
read -r -d '' modes <<'AWK' || true
function write(count) { if (mode == "c" || mode == "cd") printf "%7d %s\n", count, $0; else print }
NR == FNR { k = key(); if (k !~ /^ *$/) n[k]++; next }
{
    k = key()
    if (k ~ /^ *$/) { if (mode == "first" || mode == "last" || mode == "u" || mode == "c") write(1); next }
    if (mode == "first" && !seen[k]++) write(0)
    else if (mode == "last" && --n[k] == 0) write(0)
    else if (mode == "u" && n[k] == 1) write(0)
    else if (mode == "d" && n[k] > 1 && !seen[k]++) write(0)
    else if (mode == "D" && n[k] > 1) write(0)
    else if ((mode == "c" || mode == "cd" && n[k] > 1) && !seen[k]++) write(n[k])
}
AWK

# The mode's options.
mode_options() {
    case $1 in first) ;; last) echo --keep=last ;; u) echo -u ;; d) echo -d ;; D) echo -D ;; c) echo -c ;;
        cd) echo -cd ;; esac
}

# NAME | quillow-cli's comparison options | the key in awk (of $0) | modes | file
table=(
    "exact               |                 | \$0                                      | first last u d D c cd | lines.txt"
    "ignoring case       | -i              | tolower(\$0)                             | first last u d D c cd | lines.txt"
    "characters skipped  | -s 19           | substr(\$0, 20)                          | first u d c          | lines.txt"
    "characters checked  | -w 10           | substr(\$0, 1, 10)                       | first D c            | lines.txt"
    "skipped and checked | -s 11 -w 8 -i   | tolower(substr(\$0, 12, 8))              | d c                  | lines.txt"
    "fields skipped      | -f 2            | skipFields(\$0, 2)                       | first u D c          | lines.txt"
    "blanks trimmed      | --trim          | trimmed(\$0)                             | first u c            | lines.txt"
    "a blank field       | -k 3            | \$3                                      | first D cd           | lines.txt"
    "a comma field       | -t , -k 2       | \$2                                      | first u D c          | fields.csv"
)
read -r -d '' helpers <<'AWK' || true
function skipFields(s, n,    i) { for (i = 0; i < n; i++) sub(/^[ \t]*[^ \t]*/, "", s); return s }
function trimmed(s) { sub(/^ +/, "", s); sub(/ +$/, "", s); return s }
AWK

trim() { local s=$1; s=${s#"${s%%[! ]*}"}; echo "${s%"${s##*[! ]}"}"; }

passed=0
for row in "${table[@]}"; do
    IFS='|' read -r name opts key mode_list file <<< "$row"
    name=$(trim "$name") key=$(trim "$key") file="$work/$(trim "$file")"
    read -ra opts <<< "$opts"
    fs=" "
    [ "${opts[0]:-}" = -t ] && fs=${opts[1]}
    for mode in $mode_list; do
        mapfile -t mopts < <(mode_options "$mode")
        "$awk_bin" -F "$fs" -v mode="$mode" "$helpers
function key() { return $key }
$modes" "$file" "$file" > "$work/expected"
        "$cli" "${opts[@]}" "${mopts[@]}" "$file" > "$work/got" 2> "$work/err" || fail "$name ${mopts[*]}: status $?"
        if cmp -s "$work/expected" "$work/got"; then
            passed=$((passed + 1))
        else
            fail "$name ${mopts[*]}: differs from awk ($(wc -l < "$work/expected") lines expected," \
                "$(wc -l < "$work/got") written)"
            diff "$work/expected" "$work/got" | head -6
        fi
    done
done
echo "ok: $passed runs agree with awk"

# The same on NUL-terminated text: LF turned into NUL and back.
before=$failures
tr '\n' '\0' < "$work/lines.txt" > "$work/lines.nul"
for mode in first last u d D c cd; do
    mapfile -t mopts < <(mode_options "$mode")
    "$cli" "${mopts[@]}" "$work/lines.txt" > "$work/expected"
    "$cli" -z "${mopts[@]}" "$work/lines.nul" | tr '\0' '\n' > "$work/got"
    cmp -s "$work/expected" "$work/got" || fail "-z ${mopts[*]}: differs from the LF run"
done
[ "$failures" -ne "$before" ] || echo "ok: -z agrees with tr '\\0' '\\n' round trips"

# uniq on the sorted lines (groups adjacent, no blank lines) and sort -u.
before=$failures
grep -v '^ *$' "$work/lines.txt" | sort > "$work/sorted"
grep -v '^ *$' "$work/lines.txt" | sort -f > "$work/folded"
for pair in "-u:-u:sorted" "-d:-d:sorted" "-D:-D:sorted" "-c:-c:sorted" "-cd:-cd:sorted" "-i -d:-i -d:folded" \
    "-i -c:-i -c:folded"; do
    IFS=: read -r ours theirs file <<< "$pair"
    # shellcheck disable=SC2086
    uniq $theirs "$work/$file" > "$work/expected"
    # shellcheck disable=SC2086
    "$cli" $ours "$work/$file" > "$work/got"
    cmp -s "$work/expected" "$work/got" || fail "$ours: differs from uniq $theirs on the sorted lines"
done
"$cli" "$work/sorted" | sort | cmp -s - <(sort -u "$work/sorted") || fail "the first of each line differs from sort -u"
[ "$failures" -ne "$before" ] || echo "ok: uniq and sort -u agree on the sorted lines"

# Between two pipes the first of each line goes out as soon as it is read
# while the input is plain ASCII: whatever comes later, the bytes must be
# those of the same run from a file to a file. start: 160 KiB of plain lines.
before=$failures
"$awk_bin" 'BEGIN { for (i = 0; i < 8000; i++) printf "line %d of the start\n", i % 2500 }' > "$work/start"
start() { cat "$work/start"; }
crlf_lines() { "$awk_bin" 'BEGIN { for (i = 0; i < 9000; i++) printf "line %d of the start\r\n", i % 3000 }'; }
# NAME | the input (shell)
pipeline_table=(
    "plain, empty and blank lines | start; printf 'new\n\n\nnew\n  \n  \n'; start"
    "a UTF-8 line later           | start; printf 'caf\303\251\nline 7 of the start\n'; start"
    "a GB18030 line later         | start; printf '中文的一行\n中文的一行\n' | iconv -f UTF-8 -t GB18030; start"
    "CR LF lines after LF lines   | start; crlf_lines"
    "quoted line breaks, CR mode  | start; printf 'say \"a\nline 1 of the start\n\" twice\nsay \"a\r\n'; crlf_lines"
    "a NUL later                  | start; printf 'a\0b\na\0b\n'; start"
    "UTF-16 after a short start   | printf 'a\nb\na\nc\n'; start | iconv -f UTF-8 -t UTF-16LE"
    "no LF at the end             | start; printf 'line 5 of the start'"
    "200,000 lines                | $awk_bin 'BEGIN { for (i = 0; i < 200000; i++) printf \"%d\\n\", i * 7 % 65000 }'"
)
for row in "${pipeline_table[@]}"; do
    IFS='|' read -r name input <<< "$row"
    name=$(trim "$name")
    eval "$input" > "$work/in"
    # Chinese text read under a Chinese locale, where GB18030 has a say.
    LANGUAGE=zh_CN "$cli" "$work/in" "$work/expected" 2> "$work/err" || fail "$name, from a file: status $?"
    cat "$work/in" | LANGUAGE=zh_CN "$cli" 2>> "$work/err" | cat > "$work/got"
    status=${PIPESTATUS[1]}
    [ "$status" -eq 0 ] || fail "$name, between pipes: status $status"
    cmp -s "$work/expected" "$work/got" ||
        fail "$name: between pipes differs from a file ($(cmp "$work/expected" "$work/got"))"
    [ ! -s "$work/err" ] || fail "$name: said $(cat "$work/err")"
done
[ "$failures" -ne "$before" ] || echo "ok: ${#pipeline_table[@]} inputs written alike between pipes and to a file"

finish
