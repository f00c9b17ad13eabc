#!/usr/bin/env bash
# The man pages and the shell completions against quillow-cli --help: each
# man page, English (MAN_DIR) and Chinese (MAN_DIR/zh_CN), renders without
# warnings and holds every line of its program's --help in that language,
# and holds nothing else beyond its own headings; the bash, zsh and
# fish completions offer every long option --help names, and the values of
# the options that take a fixed set, with descriptions in the locale's
# language. A shell that is not installed is skipped ("SKIP: ...").
#
# usage: bash docs_check.sh QUILLOW_CLI QUILLOW_OR_EMPTY MAN_DIR COMPLETIONS_DIR
set -uo pipefail

cli=${1:?usage: docs_check.sh QUILLOW_CLI QUILLOW_OR_EMPTY MAN_DIR COMPLETIONS_DIR}
desktop=${2-} man_dir=${3:?} completions=${4:?}
export LC_ALL=C.UTF-8 LANGUAGE= MANWIDTH=200  # English
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

"$cli" --help > "$work/help.txt" || fail "quillow-cli --help"
man_vs_help quillow-cli "$work/help.txt" "$man_dir/quillow-cli.1" en
LANGUAGE=zh_CN "$cli" --help > "$work/help-zh.txt" || fail "quillow-cli --help (zh)"
man_vs_help quillow-cli "$work/help-zh.txt" "$man_dir/zh_CN/quillow-cli.1" zh
if [ -n "$desktop" ]; then
    QT_QPA_PLATFORM=offscreen "$desktop" --help > "$work/help-desktop.txt" || fail "quillow --help"
    man_vs_help quillow "$work/help-desktop.txt" "$man_dir/quillow.1" en
    LANGUAGE=zh_CN QT_QPA_PLATFORM=offscreen "$desktop" --help > "$work/help-desktop-zh.txt" ||
        fail "quillow --help (zh)"
    man_vs_help quillow "$work/help-desktop-zh.txt" "$man_dir/zh_CN/quillow.1" zh
fi

# The long options of quillow-cli, from the options part of --help.
mapfile -t long < <(grep -E '^  +-' "$work/help.txt" | grep -oE -- '--[a-z][a-z-]*' | sort -u)
[ "${#long[@]}" -ge 15 ] || fail "found only ${#long[@]} long options in --help"
select_values="1 2 3 all all-but-first all-but-last"

# offers WHAT EXPECTED... < OFFERED: each expected word is offered.
offers() {
    local what=$1 word
    shift
    local offered
    offered=$(cat)
    for word; do
        grep -qxF -- "$word" <<< "$offered" || fail "$what does not offer $word"
    done
}

bash_offers() { # WORDS...: what bash completes for the last word
    bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _quillow_cli
             printf "%s\n" "${COMPREPLY[@]}"' _ "$completions/quillow-cli.bash" quillow-cli "$@"
}
since=$failures
bash_offers -- | offers "bash (--)" "${long[@]}"
bash_offers --select "" | offers "bash (--select)" $select_values
bash_offers --format = "" | offers "bash (--format=)" numbered tsv
bash_offers -c o | offers "bash (-c o)" on off
ok "$since" "bash completion"

since=$failures
if command -v zsh > /dev/null; then
    zsh -n "$completions/_quillow-cli" || fail "zsh: syntax"
    for option in "${long[@]}"; do
        grep -qF -- "$option" "$completions/_quillow-cli" || fail "zsh completion lacks $option"
    done
    ok "$since" "zsh completion"
else
    echo "SKIP: zsh is not installed"
fi

since=$failures
if command -v fish > /dev/null; then
    fish_offers() { # COMMAND_LINE
        fish --no-config -c 'source $argv[1]; complete -C $argv[2]' "$completions/quillow-cli.fish" "$1" | cut -f1
    }
    fish_offers "quillow-cli --" | offers "fish (--)" "${long[@]}"
    fish_offers "quillow-cli --select " | offers "fish (--select)" $select_values
    fish_offers "quillow-cli --format " | offers "fish (--format)" numbered tsv
    # Descriptions in the locale's language.
    for locale in LANGUAGE=zh_CN:区分大小写 LANG=C:"match case"; do
        described=$(env "${locale%%:*}" fish --no-config -c 'source $argv[1]; complete -C "quillow-cli --cas"' \
            "$completions/quillow-cli.fish" | cut -f2)
        [ "$described" = "${locale#*:}" ] || fail "fish under ${locale%%:*} describes --case as: $described"
    done
    ok "$since" "fish completion"
else
    echo "SKIP: fish is not installed"
fi

[ "$failures" -eq 0 ]
