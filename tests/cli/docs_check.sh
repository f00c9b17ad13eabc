#!/usr/bin/env bash
# The man pages and the shell completions against --help, all made from the
# one option table. For each program (quillow-cli, and quillow when it is
# built) and each language (English in MAN_DIR, Chinese in MAN_DIR/zh_CN):
# the man page renders without warnings, holds
# every piece of --help and nothing else beyond its own headings; the bash,
# zsh and fish completions offer exactly the options --help lists, the
# values of the options that take a fixed set, and (zsh, fish) describe each
# option by the start of its --help text in the locale's language. A shell
# that is not installed is skipped ("SKIP: ...").
#
# usage: bash docs_check.sh QUILLOW_CLI QUILLOW_OR_EMPTY MAN_DIR COMPLETIONS_DIR
set -uo pipefail

cli=${1:?usage: docs_check.sh QUILLOW_CLI QUILLOW_OR_EMPTY MAN_DIR COMPLETIONS_DIR}
desktop=${2-} man_dir=${3:?} completions=${4:?}
export LC_ALL=C.UTF-8 LANGUAGE= MANWIDTH=200
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# ok SINCE WHAT: "ok: WHAT" when nothing failed since the count SINCE.
ok() { [ "$failures" -ne "$1" ] || echo "ok: $2"; }

# man_vs_help PROGRAM HELP_FILE PAGE LANGUAGE(zh|en)
man_vs_help() {
    local program=$1 help=$2 page=$3 language=$4 since=$failures
    local warnings
    warnings=$(groff -man -ww -z -Tutf8 -K utf8 "$page" 2>&1)
    [ -z "$warnings" ] || fail "$program(1): groff warns: $warnings"
    man -l "$page" 2>/dev/null > "$work/man.txt" || { fail "$program(1): man cannot render it"; return; }
    # Every piece of every help line (pieces are separated by two or more
    # blanks) is in the man page, and the other way round, headings aside.
    python3 - "$help" "$work/man.txt" "$program" "$language" <<'PY' || { failures=$((failures + 1)); return; }
import re, sys
help_text, man_text, program, language = open(sys.argv[1]).read(), open(sys.argv[2]).read(), sys.argv[3], sys.argv[4]
# What each language's --help and man page have of their own.
usage, colon, own_sections, headings = {
    "zh": (r"用法：|或：", "：", ("名称", "参见"), ("选项", "退出状态", "示例", "文件", "运行的退出状态")),
    "en": (r"Usage:|or:", ":", ("NAME", "SEE ALSO"),
           ("Options", "Exit status", "Examples", "Files", "Exit status of a run")),
}[language]
def pieces(text):
    out = []
    for line in text.splitlines():
        line = re.sub(r"^\s*(" + usage + r")?\s*", "", line).rstrip().rstrip(colon)
        out += [p for p in re.split(r"\s{2,}", line) if p]
    return out
man_lines = man_text.splitlines()
# The man page's own parts: the header and footer, the headings, its NAME
# and SEE ALSO sections.
own = {man_lines[0], man_lines[-1]} if man_lines else set()
body, skip = [], False
for line in man_lines:
    if line in own or not line.strip():
        continue
    if not line.startswith(" "):
        skip = line in own_sections
        continue
    if not skip:
        body.append(line)
man_body = "\n".join(body)
missing = [p for p in pieces(help_text) if p not in man_body and p not in headings]
extra = [p for p in pieces(man_body) if p not in help_text]
for p in missing:
    print(f"FAIL: {program}(1) lacks --help's {p!r}")
for p in extra:
    print(f"FAIL: {program}(1) has {p!r}, which --help does not")
sys.exit(1 if missing or extra else 0)
PY
    ok "$since" "$program(1) and $program --help ($language)"
}

# offered_vs_help PROGRAM SHELL LANGUAGE HELP_FILE OFFERED_FILE: OFFERED holds
# "option<TAB>description" lines (no description: the option alone). The
# options must be those of --help; each description the start of the
# option's text there, its lines joined as the completions join them.
offered_vs_help() {
    python3 - "$@" <<'PY' || return 1
import re, sys
program, shell, language, help_file, offered_file = sys.argv[1:6]
# Each option of --help: "  -u, --unique   text" or "      --keep=WHICH", its text
# on the same line from column 26 or on the lines below, indented to it.
options, current = {}, None
for line in open(help_file).read().splitlines():
    m = re.match(r"^  (?:(-\w), )?\s*(--[\w-]+)(?:=\S+)?(?:\s{2,}(.*))?$", line)
    if m:
        current = [m.group(1), m.group(2), [m.group(3)] if m.group(3) else []]
        options[m.group(2)] = current
    elif current and line.startswith(" " * 26) and line.strip():
        current[2].append(line.strip())
    else:
        current = None
def joined(lines):
    text = ""
    for line in lines:
        if text and ord(text[-1]) < 0x80 and ord(line[0]) < 0x80:
            text += " "
        text += line
    return text
offered = {}
for line in open(offered_file).read().splitlines():
    name, _, description = line.partition("\t")
    offered[name] = description.replace("\\:", ":").replace("\\[", "[").replace("\\]", "]")
names = {n for short, long, _ in options.values() for n in (short, long) if n}
ok = True
for name in sorted(names - offered.keys()):
    print(f"FAIL: {shell} ({program}) does not offer {name}"); ok = False
for name in sorted(offered.keys() - names):
    print(f"FAIL: {shell} ({program}) offers {name}, which --help does not list"); ok = False
if shell != "bash":
    for short, long, lines in options.values():
        text = joined(lines)
        for name in (short, long):
            d = offered.get(name)
            if d is not None and (not d or not text.startswith(d)):
                print(f"FAIL: {shell} ({program}, {language}) describes {name} as {d!r}, --help as {text!r}")
                ok = False
sys.exit(0 if ok else 1)
PY
}

# values_offered SHELL PROGRAM OFFERED_FILE WORDS...: each word is offered.
values_offered() {
    local shell=$1 program=$2 file=$3 word
    shift 3
    for word; do
        grep -qxF -- "$word" "$file" || fail "$shell ($program) does not offer the value $word"
    done
}

bash_offers() { # PROGRAM WORDS...: what bash completes for the last word
    local program=$1
    shift
    bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); "$0"
             printf "%s\n" "${COMPREPLY[@]}"' "_${program//-/_}" "$completions/$program.bash" "$program" "$@"
}

# zsh_offers PROGRAM LANGUAGE: "option<TAB>description" for each option the
# zsh completion hands to _arguments (a stand-in that prints its argument forms).
zsh_offers() {
    LANGUAGE=$2 zsh -f -c 'function _arguments { print -rl -- "$@" }; source "$1"' _ "$completions/_$1" |
        python3 -c '
import re, sys
for form in sys.stdin.read().splitlines():
    m = re.match(r"^(?:\([^)]*\))?(-[\w-]+)[=+]?\[((?:\\.|[^\]])*)\]", form)
    if m:
        print(m.group(1) + "\t" + m.group(2))'
}

# values_in_zsh PROGRAM OPTION: the values the zsh form of OPTION lists.
values_in_zsh() {
    LANGUAGE=en zsh -f -c 'function _arguments { print -rl -- "$@" }; source "$1"' _ "$completions/_$1" |
        grep -- "^$2=" | sed -n 's/.*:(\(.*\))$/\1/p' | tr ' ' '\n'
}

fish_offers() { # PROGRAM LANGUAGE COMMAND_LINE
    LANGUAGE=$2 fish --no-config -c 'source $argv[1]; complete -C $argv[2]' "$completions/$1.fish" "$3"
}

check_program() {
    local program=$1 binary=$2 since
    LANGUAGE=zh_CN QT_QPA_PLATFORM=offscreen "$binary" --help > "$work/help-zh.txt" || fail "$program --help (zh)"
    LANGUAGE=en QT_QPA_PLATFORM=offscreen "$binary" --help > "$work/help-en.txt" || fail "$program --help (en)"
    man_vs_help "$program" "$work/help-en.txt" "$man_dir/$program.1" en
    man_vs_help "$program" "$work/help-zh.txt" "$man_dir/zh_CN/$program.1" zh

    since=$failures
    bash_offers "$program" - | sed 's/$/\t/' > "$work/bash"
    offered_vs_help "$program" bash en "$work/help-en.txt" "$work/bash" || failures=$((failures + 1))
    bash_offers "$program" --keep = "" > "$work/values"
    values_offered bash "$program" "$work/values" first last
    bash_offers "$program" --encoding "" > "$work/values"
    values_offered bash "$program" "$work/values" auto UTF-8 GB18030
    ok "$since" "bash completion of $program"

    since=$failures
    if command -v zsh > /dev/null; then
        zsh -n "$completions/_$program" || fail "zsh: syntax of _$program"
        for language in zh en; do
            zsh_offers "$program" "$([ $language = zh ] && echo zh_CN || echo en)" > "$work/zsh"
            offered_vs_help "$program" zsh $language "$work/help-$language.txt" "$work/zsh" || failures=$((failures + 1))
        done
        values_in_zsh "$program" --keep > "$work/values"
        values_offered zsh "$program" "$work/values" first last
        ok "$since" "zsh completion of $program"
    else
        echo "SKIP: zsh is not installed"
    fi

    since=$failures
    if command -v fish > /dev/null; then
        for language in zh en; do
            { fish_offers "$program" "$([ $language = zh ] && echo zh_CN || echo en)" "$program --"
              fish_offers "$program" "$([ $language = zh ] && echo zh_CN || echo en)" "$program -"; } |
                sort -u > "$work/fish"
            offered_vs_help "$program" fish $language "$work/help-$language.txt" "$work/fish" ||
                failures=$((failures + 1))
        done
        fish_offers "$program" en "$program --keep=" | cut -f1 > "$work/values"
        values_offered fish "$program" "$work/values" --keep=first --keep=last
        ok "$since" "fish completion of $program"
    else
        echo "SKIP: fish is not installed"
    fi
}

check_program quillow-cli "$cli"
[ -z "$desktop" ] || check_program quillow "$desktop"

[ "$failures" -eq 0 ]
