# bash completion for quillow-cli                              -*- shell-script -*-
# Plain bash: needs nothing from the bash-completion package.

_quillow_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    # "--select=al" arrives as "--select" "=" "al" (= is a word break).
    if [[ $cur == = ]]; then
        cur=
    elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    fi

    local values=
    case $prev in
        -i | --input | -o | --output)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
            ;;
        -s | --select) values='1 2 3 all all-but-first all-but-last' ;;
        -c | --case | -r | --trim | -m | --save-empty | -p | --apply-filter | --compat) values='on off' ;;
        -e | --encoding) values='auto UTF-8 UTF-16LE UTF-16BE GB18030 GBK Big5 Shift_JIS EUC-JP EUC-KR windows-1252 ISO-8859-1 KOI8-R' ;;
        --format) values='numbered tsv' ;;
        --max-memory) values='auto 256M 1G 4G' ;;
        -f | --start | -a | --match | -x | --regex) return ;;
    esac
    if [[ -n $values ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$values" -- "$cur")
        return
    fi

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W '-i --input -o --output -s --select -c --case -r --trim
            -m --save-empty -f --start -x --regex -a --match -p --apply-filter -e --encoding --compat --max-memory
            -l --list --count
            --format --use-settings -q --quiet -h --help -V --version' -- "$cur")
        return
    fi
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}
complete -F _quillow_cli quillow-cli
