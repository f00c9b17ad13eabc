#!/usr/bin/env bash
# Peer check: quillow-cli's clean-up (-u, the first and the last of each
# line, to a file and as a filter from a pipe to standard output) and --list
# (numbered and tsv) must write byte for byte what an awk reference writes,
# on generated files with LF
# and CR LF line ends, on a few hand-made files with odd and mixed line ends,
# blank-only lines and a byte-order mark, and on the generated files in
# UTF-16LE/BE and GB18030, which the reference reads and writes through iconv.
#
# The reference reads the file twice. Line ends go by majority: lines end at
# LF (a CR before it belongs to the end, a lone CR is text) unless lines ended
# by CR or CR LF outnumber those ended by a lone LF; then CR or CR LF ends a
# line, and so does a lone LF outside double quotes. Kept lines keep their
# own end (a last line without one gets LF), or in the CR case get CR LF
# unless a lone LF ended them. A byte-order mark is
# written back first. Empty and blank-only lines (U+0020) are never
# duplicates. Case-insensitive runs are checked on ASCII files only: awk in
# the C locale folds ASCII letters, quillow folds all of Unicode.
#
# usage: bash peer_check.sh PATH_OF_QUILLOW_CLI
set -euo pipefail

cli=${1:?usage: peer_check.sh PATH_OF_QUILLOW_CLI}
here=$(cd "$(dirname "$0")" && pwd)
gen="$here/../../bench/gen_lines.py"
export LC_ALL=C
awk_bin=$(command -v mawk || command -v gawk || true)
[ -n "$awk_bin" ] || { echo "peer_check: needs mawk or gawk" >&2; exit 2; }
[ -x "$cli" ] || { echo "peer_check: $cli is not an executable" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# An empty settings store, so the documented defaults apply.
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME"

# mode 0 prints the number of duplicated keys; 1 keeps the lines whose key
# occurs once, 2 the first occurrence of every key, 3 the last.
read -r -d '' reference <<'AWK' || true
BEGIN { bom = sprintf("%c%c%c", 239, 187, 191) }
FNR == 1 && substr($0, 1, 3) == bom {
    $0 = substr($0, 4)
    if (NR != FNR && mode) printf "%s", bom
}
{
    eol = ORS
    if (substr($0, length($0)) == "\r") { $0 = substr($0, 1, length($0) - 1); eol = "\r\n" }
}
function key(s) {
    if (trim) { sub(/^ +/, "", s); sub(/ +$/, "", s) }
    return fold ? tolower(s) : s
}
NR == FNR { if ($0 !~ /^ *$/) n[key($0)]++; next }
mode == 0 { next }
$0 ~ /^ *$/ { printf "%s%s", $0, eol; next }
{
    k = key($0)
    if (mode == 1) { if (n[k] == 1) printf "%s%s", $0, eol }
    else if (mode == 2) { if (!seen[k]++) printf "%s%s", $0, eol }
    else if (--n[k] == 0) printf "%s%s", $0, eol
}
END {
    if (mode == 0) { d = 0; for (k in n) if (n[k] > 1) d++; printf "%d\n", d }
}
AWK

# The duplicates list. Entries go by group (in the order of the groups' first
# lines), then by line. Each entry shows its own line's key text (trimmed
# when trim is on, letter case kept). form: numbered or tsv.
read -r -d '' list_reference <<'AWK' || true
BEGIN { bom = sprintf("%c%c%c", 239, 187, 191) }
FNR == 1 && substr($0, 1, 3) == bom { $0 = substr($0, 4) }
{ sub(/\r$/, "") }
function shown(s) {
    if (trim) { sub(/^ +/, "", s); sub(/ +$/, "", s) }
    return s
}
function key(s) { s = shown(s); return fold ? tolower(s) : s }
NR == FNR {
    lines = FNR
    if ($0 ~ /^ *$/) next
    k = key($0)
    n[k]++
    next
}
$0 !~ /^ *$/ && n[k = key($0)] > 1 {
    if (!(k in group)) group[k] = ++groups
    g = group[k]
    text = shown($0)
    if (form == "tsv") out[g] = out[g] sprintf("%d\t%d\t%s\n", FNR, g, text)
    else out[g] = out[g] sprintf("[%0" length(lines) "d]   %s\n", FNR, text)
}
END {
    for (g = 1; g <= groups; g++)
        printf "%s", out[g]
}
AWK

has_cr() { [ -n "$(tr -dc '\r' < "$1" | head -c 1)" ]; }
# 1 when lines ended by CR (CR LF or a lone CR) outnumber those ended by a lone LF.
cr_majority() {
    python3 -c 'import sys; b = open(sys.argv[1], "rb").read()
print(int(b.count(b"\r") > b.count(b"\n") - b.count(b"\r\n")))' "$1"
}

# The references read LF mode. A file of the CR case is rewritten for them
# (UTF-8 or ASCII): CR and CR LF end a line as CR LF, a lone LF outside
# double quotes as LF, one inside them stays in the line as \001 (an LF again
# after the reference), and a last line without an end gets CR LF.
# lf_mode FILE OUT: OUT is FILE, or FILE rewritten.
lf_mode() {
    if [ "$(cr_majority "$1")" = 0 ]; then
        cp "$1" "$2"
        return
    fi
    python3 - "$1" > "$2" <<'PY'
import sys
b = open(sys.argv[1], "rb").read()
out, quoted, i = bytearray(), False, 0
while i < len(b):
    c = b[i]
    if c == 0x22:
        quoted = not quoted
        out.append(c)
    elif c == 0x0D:
        out += b"\r\n"
        quoted = False
        i += b[i + 1:i + 2] == b"\n"
    elif c == 0x0A:
        out += b"\x01" if quoted else b"\n"
    else:
        out.append(c)
    i += 1
if out and not out.endswith(b"\n"):
    out += b"\r\n"
sys.stdout.buffer.write(out)
PY
}

# ref FILE MODE FOLD TRIM [ENCODING]: another encoding is read and written through iconv.
ref() {
    local file=$1 enc=${5:-}
    if [ -n "$enc" ]; then
        file="$work/ref.utf8"
        iconv -f "$enc" -t UTF-8 "$1" > "$file"
    fi
    lf_mode "$file" "$work/ref.lf"
    if [ -n "$enc" ] && [ "$2" != 0 ]; then
        "$awk_bin" -v mode="$2" -v fold="$3" -v trim="$4" "$reference" "$work/ref.lf" "$work/ref.lf" |
            tr '\001' '\n' | iconv -f UTF-8 -t "$enc"
    else
        "$awk_bin" -v mode="$2" -v fold="$3" -v trim="$4" "$reference" "$work/ref.lf" "$work/ref.lf" |
            tr '\001' '\n'
    fi
}

passed=0
failed=0
fail() {
    failed=$((failed + 1))
    echo "FAIL: $*"
}

# options MODE CASE(on|off) TRIM(on|off): quillow-cli's options for a mode
# of the reference (1 -u, 2 the first, 3 the last of each line).
options() {
    case $1 in 1) echo -u ;; 3) echo --keep=last ;; esac
    [ "$2" = off ] && echo -i
    [ "$3" = on ] && echo --trim
    return 0
}

# check NAME FILE MODE CASE(on|off) TRIM(on|off) [ENCODING]: quillow-cli
# detects the encoding; the reference is told it.
check() {
    local name=$1 file=$2 mode=$3 cs=$4 tr=$5 enc=${6:-}
    local fold=0 trim=0
    [ "$cs" = off ] && fold=1
    [ "$tr" = on ] && trim=1
    local opts
    mapfile -t opts < <(options "$mode" "$cs" "$tr")
    local tag="$name ${opts[*]}"
    local expect="$work/expect.$name.$mode.$cs.$tr" out="$work/out.$name.$mode.$cs.$tr"
    ref "$file" "$mode" "$fold" "$trim" "$enc" > "$expect"
    local dups
    dups=$(ref "$file" 0 "$fold" "$trim" "$enc")
    # Nothing to drop: the input unchanged.
    local want=$expect
    [ "$dups" -eq 0 ] && want=$file
    # The same run as a filter, from a pipe to standard output.
    local filtered=0
    cat "$file" | timeout 60 "$cli" "${opts[@]}" > "$work/filtered" 2> "$work/stderr" || filtered=$?
    if [ "$filtered" -ne 0 ] || ! cmp -s "$want" "$work/filtered"; then
        fail "$tag as a filter: exit $filtered, or the output differs from $( [ "$dups" -eq 0 ] && echo the input || echo awk)"
        sed -n '1,5p' "$work/stderr"
        return
    fi
    local status=0
    timeout 60 "$cli" "${opts[@]}" "$file" "$out" < /dev/null > "$work/stdout" 2> "$work/stderr" || status=$?
    if [ "$dups" -eq 0 ]; then
        if [ "$status" -ne 0 ] || ! cmp -s "$file" "$out"; then
            fail "$tag: no duplicates, expected exit 0 and the input; got exit $status"
            sed -n '1,5p' "$work/stderr"
            return
        fi
        echo "ok   $tag: no duplicates, the input written"
        passed=$((passed + 1))
        return
    fi
    if [ "$status" -ne 0 ]; then
        fail "$tag: exit $status, expected 0"
        sed -n '1,5p' "$work/stderr"
        return
    fi
    if ! cmp -s "$expect" "$out"; then
        fail "$tag: output differs from awk ($(wc -l < "$expect") expected lines," \
            "$(wc -l < "$out") written); first differences (- awk, + quillow-cli):"
        diff --text <(iconv -f "${enc:-UTF-8}" -t UTF-8 "$expect" 2>&1) <(iconv -f "${enc:-UTF-8}" -t UTF-8 "$out" 2>&1) |
            sed -n '1,12p' | cat -v || true
        return
    fi
    echo "ok   $tag: $(wc -c < "$out") bytes, $dups duplicated keys"
    passed=$((passed + 1))
}

# check_lists NAME FILE CASE(on|off) TRIM(on|off): --list in both forms
# against the reference.
check_lists() {
    local name=$1 file=$2 cs=$3 tr=$4 fold=0 trim=0 form
    [ "$cs" = off ] && fold=1
    [ "$tr" = on ] && trim=1
    lf_mode "$file" "$work/list.lf"
    local opts
    mapfile -t opts < <(options 2 "$cs" "$tr")
    for form in numbered tsv; do
        local tag="$name $form ${opts[*]}" args=(--list)
        [ "$form" = tsv ] && args=(--list --format=tsv)
        "$awk_bin" -v form="$form" -v fold="$fold" -v trim="$trim" "$list_reference" \
            "$work/list.lf" "$work/list.lf" | tr '\001' '\n' > "$work/expect.list"
        local status=0
        timeout 60 "$cli" "${args[@]}" "${opts[@]}" "$file" < /dev/null > "$work/out.list" \
            2> "$work/stderr" || status=$?
        if [ "$status" -ne 0 ]; then
            fail "$tag: exit $status, expected 0"
            sed -n '1,5p' "$work/stderr"
        elif ! cmp -s "$work/expect.list" "$work/out.list"; then
            fail "$tag: differs from awk; first differences (- awk, + quillow-cli):"
            diff --text "$work/expect.list" "$work/out.list" | sed -n '1,12p' | cat -v || true
        else
            echo "ok   $tag: $(wc -l < "$work/out.list") lines"
            passed=$((passed + 1))
        fi
    done
}

# The reference must agree with the usual one-liners where those apply:
# '$0 ~ /^ *$/ || !seen[$0]++' for the first occurrence, the same under tac
# for the last, on LF text (CR LF files are converted for them).
self_check() {
    local file=$1 strip=cat add=cat
    if has_cr "$file"; then strip="sed s/\r\$//"; add="sed s/\$/\r/"; fi
    local prog='$0 ~ /^ *$/ || !seen[$0]++'
    $strip < "$file" | "$awk_bin" "$prog" | $add > "$work/oneliner2"
    $strip < "$file" | tac | "$awk_bin" "$prog" | tac | $add > "$work/oneliner3"
    ref "$file" 2 0 0 | cmp -s - "$work/oneliner2" &&
        ref "$file" 3 0 0 | cmp -s - "$work/oneliner3" ||
        { echo "peer_check: the awk reference disagrees with the one-liners on $file" >&2; exit 2; }
}

# Generated files: Unix and CR LF, with and without non-ASCII text.
common=(--lines 4000 --pool 1500 --avg-len 40 --dup-share 0.35 --case-variants 0.3
        --blank-variants 0.2 --empty-lines 0.03)
python3 "$gen" "${common[@]}" --seed 11 --non-ascii 0.15 -o "$work/gen_lf.txt"
python3 "$gen" "${common[@]}" --seed 12 --non-ascii 0.15 --crlf -o "$work/gen_crlf.txt"
python3 "$gen" "${common[@]}" --seed 13 --non-ascii 0 -o "$work/ascii_lf.txt"
python3 "$gen" "${common[@]}" --seed 14 --non-ascii 0 --crlf -o "$work/ascii_crlf.txt"
python3 "$gen" --lines 3000 --pool 1500 --seed 15 --dup-share 0 --empty-lines 0.05 -o "$work/unique.txt"

# Hand-made files: CR, CR LF and a lone LF inside a line, blank-only lines,
# tabs (which are not blanks), no line end after the last line.
printf 'Apple\r\napple\rBanana\nsplit\r  \r\r apple\r\nApple\r\nBanana\nsplit\r\t\r\t\rBANANA\nSPLIT\r\napple ' \
    > "$work/cr_mixed.txt"
printf 'x\n  \n\nX\nx\n \n\ny  \nx\n\t\n\t\ny\n Y\nx' > "$work/lf_edges.txt"
# A UTF-8 byte-order mark: line 1 compares and is written without it.
printf '\357\273\277alpha\nalpha\nbeta\nALPHA\ngamma\nbeta\n' > "$work/bom.txt"
# Every line is a duplicate: -s 1 writes an empty file.
printf 'same\nsame\nsame\n' > "$work/all_same.txt"
# Mixed line ends, decided by majority: LF lines with a stray CR (text), LF
# lines with some CR LF lines (the same lines), CR LF lines with cells holding
# LF, CR LF lines with LF lines appended, a quote that never closes.
printf 'a\nb\nx\ry\na\nx\ry\nb\nc\n' > "$work/lf_stray_cr.txt"
printf 'a\r\nb\na\nc\nb\r\nd\nc' > "$work/lf_some_crlf.txt"
printf 'h\r\n"c\nd"\r\nz\r\n"c\nd"\r\nh\r\nc\nd\n' > "$work/crlf_cells.txt"
printf 'one\r\ntwo\r\nthree\r\nfour\r\none\ntwo\nthree\n' > "$work/crlf_then_lf.txt"
printf '"x\ny\r\nq\nr\r\n"x\ny\r\nq\r\n"" a\n' > "$work/crlf_open_quote.txt"

for f in gen_lf gen_crlf ascii_lf ascii_crlf; do self_check "$work/$f.txt"; done

for f in gen_lf gen_crlf ascii_lf ascii_crlf cr_mixed lf_edges bom all_same lf_stray_cr lf_some_crlf crlf_cells \
    crlf_then_lf crlf_open_quote; do
    for mode in 1 2 3; do check "$f" "$work/$f.txt" "$mode" on off; done
done
for f in ascii_lf ascii_crlf cr_mixed lf_edges bom; do
    for mode in 1 2 3; do check "$f" "$work/$f.txt" "$mode" off off; done
done
for f in gen_lf cr_mixed lf_edges; do check "$f" "$work/$f.txt" 2 on on; done
for f in ascii_crlf lf_edges; do check "$f" "$work/$f.txt" 3 off on; done
check unique "$work/unique.txt" 2 on off

for f in gen_lf gen_crlf cr_mixed lf_edges bom unique crlf_cells crlf_then_lf crlf_open_quote; do check_lists "$f" "$work/$f.txt" on off; done
for f in ascii_lf ascii_crlf cr_mixed lf_edges bom; do check_lists "$f" "$work/$f.txt" off on; done

# Other encodings: UTF-16 with and without a byte-order mark, LF and CR LF,
# and GB18030; every kept line comes back as its own bytes.
command -v iconv > /dev/null || { echo "peer_check: needs iconv" >&2; exit 2; }
for f in gen_lf gen_crlf; do
    for enc in UTF-16LE UTF-16BE UTF-16 GB18030; do
        iconv -f UTF-8 -t "$enc" "$work/$f.txt" > "$work/$f.$enc.txt"
        for mode in 1 2 3; do check "$f.$enc" "$work/$f.$enc.txt" "$mode" on off "$enc"; done
    done
done
iconv -f UTF-8 -t UTF-16BE "$work/ascii_lf.txt" > "$work/ascii_lf.UTF-16BE.txt"
check ascii_lf.UTF-16BE "$work/ascii_lf.UTF-16BE.txt" 2 off on UTF-16BE

echo "peer_check: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
