# fish completion for quillow-cli

# The descriptions speak the interface's language: Chinese when the locale's
# first language (LANGUAGE's first entry, else LC_ALL, LC_MESSAGES, LANG) is
# Chinese, English otherwise.
function __quillow_cli_chinese
    for value in $LANGUAGE $LC_ALL $LC_MESSAGES $LANG
        for name in (string split : -- $value)
            test -n "$name"; or continue
            string match -qr '^[zZ][hH]([_.@-]|$)' -- $name
            return
        end
    end
    return 1
end
# say CHINESE ENGLISH
function __quillow_cli_say
    if __quillow_cli_chinese
        echo $argv[1]
    else
        echo $argv[2]
    end
end

complete -c quillow-cli -s i -l input -r -F -d (__quillow_cli_say '要扫描的文件，- 读标准输入' 'file to scan, - reads standard input')
complete -c quillow-cli -s o -l output -r -F -d (__quillow_cli_say '要写出的文件，- 写到标准输出' 'file to write, - writes to standard output')
complete -c quillow-cli -s s -l select -x -a '1 2 3 all all-but-first all-but-last' -d (__quillow_cli_say '删除哪些出现' 'which occurrences to drop')
complete -c quillow-cli -s c -l case -x -a 'on off' -d (__quillow_cli_say '区分大小写' 'match case')
complete -c quillow-cli -s r -l trim -x -a 'on off' -d (__quillow_cli_say '忽略两端的空格' 'ignore blanks at both ends')
complete -c quillow-cli -s m -l save-empty -x -a 'on off' -d (__quillow_cli_say '写出空行' 'keep empty lines')
complete -c quillow-cli -s f -l start -x -d (__quillow_cli_say '跳过每行的前 N 个字符' 'skip the first N characters of each line')
complete -c quillow-cli -s x -l regex -x -d (__quillow_cli_say '只比较正则表达式匹配的部分' 'compare only what a regular expression matches')
complete -c quillow-cli -s a -l match -x -d (__quillow_cli_say '哪个匹配作为比较的键' 'which match is the key')
complete -c quillow-cli -s p -l apply-filter -x -a 'on off' -d (__quillow_cli_say '按比较时的样子写出各行' 'write lines in their compared form')
complete -c quillow-cli -s e -l encoding -x -a 'auto UTF-8 UTF-16LE UTF-16BE GB18030 GBK Big5 Shift_JIS EUC-JP EUC-KR windows-1252 ISO-8859-1 KOI8-R' -d (__quillow_cli_say '文件的文本编码' 'text encoding of the file')
complete -c quillow-cli -l compat -x -a 'on off' -d (__quillow_cli_say '兼容字符视为相同' 'compatibility forms alike')
complete -c quillow-cli -l max-memory -x -a 'auto 256M 1G 4G' -d (__quillow_cli_say '扫描最多使用的内存' 'memory a scan may use')
complete -c quillow-cli -s l -l list -d (__quillow_cli_say '只扫描，列出重复项' 'scan only, list the duplicates')
complete -c quillow-cli -l count -d (__quillow_cli_say '只扫描，统计每组重复行' 'scan only, count each group')
complete -c quillow-cli -l format -x -a 'numbered tsv' -d (__quillow_cli_say '--list 的格式' 'form of --list')
complete -c quillow-cli -l use-settings -d (__quillow_cli_say '未给出的选项取保存的设置' 'options not given come from the stored settings')
complete -c quillow-cli -s q -l quiet -d (__quillow_cli_say '成功时什么也不输出' 'print nothing on success')
complete -c quillow-cli -s h -l help -d (__quillow_cli_say '显示帮助' 'show the help')
complete -c quillow-cli -s V -l version -d (__quillow_cli_say '显示版本' 'show the version')
