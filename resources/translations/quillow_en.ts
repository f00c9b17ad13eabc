<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>FileDialogs</name>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>另存为</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>%1
找不到文件。
请检查文件名是否正确，然后重试。</source>
        <translation>%1
File not found.
Check the file name and try again.</translation>
    </message>
    <message>
        <source>%1 已存在。
要替换它吗？</source>
        <translation>%1 already exists.
Do you want to replace it?</translation>
    </message>
</context>
<context>
    <name>quillow::AboutDialog</name>
    <message>
        <source>打开文件:</source>
        <translation>Files opened: </translation>
    </message>
    <message>
        <source>扫描行:</source>
        <translation>Lines scanned: </translation>
    </message>
    <message>
        <source>找到重复项:</source>
        <translation>Duplicates found: </translation>
    </message>
    <message>
        <source>找到唯一的重复项:</source>
        <translation>Distinct duplicates found: </translation>
    </message>
    <message>
        <source>删除重复项:</source>
        <translation>Duplicates deleted: </translation>
    </message>
    <message>
        <source> 关于    %1</source>
        <translation>About %1</translation>
    </message>
    <message>
        <source>Orvandel 出品 · 查找并清理文本文档中的重复行</source>
        <translation>Made by Orvandel · Finds and removes duplicate lines in text documents</translation>
    </message>
</context>
<context>
    <name>quillow::CopyDialog</name>
    <message>
        <source>所有重复项</source>
        <translation>All duplicates</translation>
    </message>
    <message>
        <source>所有选定的重复项</source>
        <translation>All selected duplicates</translation>
    </message>
    <message>
        <source>当前高亮的重复项</source>
        <translation>Highlighted duplicate</translation>
    </message>
    <message>
        <source>来源内容</source>
        <translation>Source lines</translation>
    </message>
    <message>
        <source>重复内容(过滤的)</source>
        <translation>Compared text</translation>
    </message>
    <message>
        <source>行数</source>
        <translation>Line numbers</translation>
    </message>
    <message>
        <source>内存不足，无法复制这么多文本。</source>
        <translation>Not enough memory to copy this much text.</translation>
    </message>
    <message>
        <source>复制到剪贴板</source>
        <translation>Copy to Clipboard</translation>
    </message>
    <message>
        <source>要复制的行</source>
        <translation>Lines to copy</translation>
    </message>
    <message>
        <source>要复制的内容</source>
        <translation>What to copy</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>quillow::MainWindow</name>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>打开一个文本文档，扫描重复行。</source>
        <translation>Open a text document and scan it for duplicate lines.</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>停止处理！</source>
        <translation>Stop processing!</translation>
    </message>
    <message>
        <source>另存为</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>保存为没有所选重复项的文件。</source>
        <translation>Save a copy of the file without the selected duplicates.</translation>
    </message>
    <message>
        <source>选择</source>
        <translation>Select</translation>
    </message>
    <message>
        <source>使用不同方法选择重复项。在你保存文件时无法选择重复项。</source>
        <translation>Select duplicates in different ways. Nothing can be selected while a file is being saved.</translation>
    </message>
    <message>
        <source>查看器</source>
        <translation>Viewer</translation>
    </message>
    <message>
        <source>查看用红色标记为重复行的文件</source>
        <translation>View the file with its duplicate lines marked in red</translation>
    </message>
    <message>
        <source>选项</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>编辑选项。</source>
        <translation>Edit the options.</translation>
    </message>
    <message>
        <source> 关于 </source>
        <translation> About </translation>
    </message>
    <message>
        <source>显示关于 Quillow 的信息。</source>
        <translation>Show information about Quillow.</translation>
    </message>
    <message>
        <source>来源文件:</source>
        <translation>Source file:</translation>
    </message>
    <message>
        <source>找到重复项:</source>
        <translation>Duplicates:</translation>
    </message>
    <message>
        <source>显示来源文件。右键点击复制高亮行。</source>
        <translation>Shows the source file. Right-click to copy the highlighted line.</translation>
    </message>
    <message>
        <source>显示找到的重复项。右键点击弹出复制选项。</source>
        <translation>Shows the duplicates found. Right-click for the copy options.</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>不选</source>
        <translation>Select None</translation>
    </message>
    <message>
        <source>反选</source>
        <translation>Invert Selection</translation>
    </message>
    <message>
        <source>全部，除了最初重复项</source>
        <translation>All but the First Occurrence</translation>
    </message>
    <message>
        <source>全部，除了最后重复项</source>
        <translation>All but the Last Occurrence</translation>
    </message>
    <message>
        <source>复制到剪贴板</source>
        <translation>Copy to Clipboard</translation>
    </message>
    <message>
        <source>复制当前</source>
        <translation>Copy Current</translation>
    </message>
    <message>
        <source>全部复制</source>
        <translation>Copy All</translation>
    </message>
    <message>
        <source>全部复制所选</source>
        <translation>Copy All Selected</translation>
    </message>
    <message>
        <source>找不到帮助文档 %1。</source>
        <translation>Cannot find the help document %1.</translation>
    </message>
    <message>
        <source>没有可以打开 HTML 文档的程序（例如网页浏览器）。帮助文档位于:
%1</source>
        <translation>There is no program that can open HTML documents (such as a web browser). The help document is at:
%1</translation>
    </message>
    <message>
        <source> - 找出文本文件中的重复行，留下干净的副本。</source>
        <translation> - Find the duplicate lines in a text file and keep a clean copy.</translation>
    </message>
    <message>
        <source> - 按 F1 寻求帮助</source>
        <translation> - Press F1 for help</translation>
    </message>
    <message>
        <source>无法打开 %1。</source>
        <translation>Cannot open %1.</translation>
    </message>
    <message>
        <source>文本编码: %1</source>
        <translation>Text encoding: %1</translation>
    </message>
    <message>
        <source>行从文件读取</source>
        <translation>Lines read from the file</translation>
    </message>
    <message>
        <source>文件和它的索引放不下所设的内存：借助临时文件分区查找重复项，列表和查看器从文件读取各行。</source>
        <translation>The file and its index do not fit in the memory set: duplicates are found through a temporary file, partition by partition, and the lists and the viewer read each line from the file.</translation>
    </message>
</context>
<context>
    <name>quillow::OptionsDialog</name>
    <message>
        <source>全选</source>
        <translation>All</translation>
    </message>
    <message>
        <source>最初</source>
        <translation>First</translation>
    </message>
    <message>
        <source>最后</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>Quillow 选项</source>
        <translation>Quillow Options</translation>
    </message>
    <message>
        <source>查找重复项</source>
        <translation>Finding Duplicates</translation>
    </message>
    <message>
        <source>匹配大小写。</source>
        <translation>Match case</translation>
    </message>
    <message>
        <source>移除首尾空格。</source>
        <translation>Trim blanks at both ends</translation>
    </message>
    <message>
        <source>全角/半角等兼容字符视为相同</source>
        <translation>Full/half width forms alike</translation>
    </message>
    <message>
        <source>开始偏移:</source>
        <translation>Offset:</translation>
    </message>
    <message>
        <source>正则表达式过滤:</source>
        <translation>Regular expression:</translation>
    </message>
    <message>
        <source>匹配:</source>
        <translation>Match:</translation>
    </message>
    <message>
        <source>测试过滤</source>
        <translation>Test Filter</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Saving</translation>
    </message>
    <message>
        <source>保存空白行。</source>
        <translation>Empty lines</translation>
    </message>
    <message>
        <source>应用过滤到每行。</source>
        <translation>Save lines as compared</translation>
    </message>
    <message>
        <source>杂项</source>
        <translation>Miscellaneous</translation>
    </message>
    <message>
        <source>禁止保存记忆功能。</source>
        <translation>Preserve memory</translation>
    </message>
    <message>
        <source>文本编码:</source>
        <translation>Encoding:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>勾选后，只有大小写也相同的行才算重复；不勾选时忽略大小写。</source>
        <translation>When ticked, only lines whose letter case also matches count as duplicates; when not ticked, letter case is ignored.</translation>
    </message>
    <message>
        <source>比较时忽略每行开头和结尾的空格；文件中的行不变。</source>
        <translation>Ignore blanks at the start and end of each line when comparing; the lines in the file stay as they are.</translation>
    </message>
    <message>
        <source>比较时把全角与半角字母和数字、连字、带圈数字等兼容字符视为相同（NFKC）；列表中仍显示原来的行。</source>
        <translation>Treat compatibility characters (full- and half-width letters and digits, ligatures, circled digits ...) as equal when comparing (NFKC); the lists still show the original lines.</translation>
    </message>
    <message>
        <source>比较时跳过每行开头的这么多个字符；0 表示比较整行。</source>
        <translation>Skip this many characters at the start of each line when comparing; 0 compares the whole line.</translation>
    </message>
    <message>
        <source>只比较每行中与这个正则表达式匹配的部分；留空则比较整行。</source>
        <translation>Compare only the part of each line that this regular expression matches; leave it empty to compare whole lines.</translation>
    </message>
    <message>
        <source>比较哪个匹配：0 = 所有匹配连在一起，n = 第 n 个匹配，-1 = 最后一个匹配。</source>
        <translation>Which match to compare: 0 = all matches joined together, n = the nth match, -1 = the last match.</translation>
    </message>
    <message>
        <source>用上面的设置在一个示例行上试用过滤；输入 line=N 可试用已载入文件的第 N 行。</source>
        <translation>Try the filter with the settings above on a sample line; enter line=N to try line N of the loaded file.</translation>
    </message>
    <message>
        <source>不勾选时，保存的文件中不写入空行。</source>
        <translation>When not ticked, empty lines are left out of the saved file.</translation>
    </message>
    <message>
        <source>保存时写入每行用于比较的形式（去除空格、跳过开头字符并过滤之后），而不是原来的行。</source>
        <translation>Save each line in the form it is compared in (trimmed, its first characters skipped, filtered) instead of the original line.</translation>
    </message>
    <message>
        <source>扫描很大的文件（32768 行以上）后释放来源行以节省内存；之后查看器和复制来源行不可用，来源文件列表只显示“不可预览...”。</source>
        <translation>After scanning a very large file (32768 lines or more), release the source lines to save memory; the viewer and copying source lines are then unavailable, and the source list shows only “Preview not available...”.</translation>
    </message>
    <message>
        <source>文件的文本编码。自动：按字节顺序标记、UTF-16 的特征、UTF-8 的有效性依次判断，否则由编码检测推测；也可以输入任何编码名称（如 GB18030、Big5、Shift_JIS、windows-1252）。保存时行保持原来的字节。</source>
        <translation>The file&apos;s text encoding. Automatic: decided by the byte-order mark, the pattern of UTF-16 and valid UTF-8, in that order, else guessed by encoding detection; any encoding name can be entered as well (such as GB18030, Big5, Shift_JIS, windows-1252). Saved lines keep their original bytes.</translation>
    </message>
</context>
<context>
    <name>quillow::QtDialogs</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>是(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>否(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
</context>
<context>
    <name>quillow::ViewerWindow</name>
    <message>
        <source>正载入，请稍等...</source>
        <translation>Loading, please wait...</translation>
    </message>
    <message>
        <source>正在更新所选项。请稍等...</source>
        <translation>Updating the selection. Please wait...</translation>
    </message>
    <message>
        <source>行    %1</source>
        <translation>Line %1</translation>
    </message>
    <message>
        <source>Quillow 查看器</source>
        <translation>Quillow Viewer</translation>
    </message>
</context>
<context>
    <name>quillow::help</name>
    <message>
        <source>要扫描的文件（也可以直接写 FILE）</source>
        <translation>the file to scan (or just give FILE)</translation>
    </message>
    <message>
        <source>要扫描的文件（也可以直接写 FILE）；
- 读标准输入</source>
        <translation>the file to scan (or just give FILE);
- reads standard input</translation>
    </message>
    <message>
        <source>要写出的清理后的文件，可以就是输入文件</source>
        <translation>the cleaned file to write; may be the input file</translation>
    </message>
    <message>
        <source>要写出的清理后的文件，可以就是输入文件；
- 写到标准输出，没有要删除的行时原样输出</source>
        <translation>the cleaned file to write; may be the input file;
- writes to standard output, the input unchanged
when there is nothing to drop</translation>
    </message>
    <message>
        <source>删除哪些出现：
  1, all            每个重复行的所有出现
  2, all-but-first  除第一次以外的所有出现
  3, all-but-last   除最后一次以外的所有出现</source>
        <translation>which occurrences to drop:
  1, all            every occurrence
  2, all-but-first  all but the first occurrence
  3, all-but-last   all but the last occurrence</translation>
    </message>
    <message>
        <source>on: 只有大小写不同的行算作不同</source>
        <translation>on: lines that differ only in letter case
count as different</translation>
    </message>
    <message>
        <source>on: 比较时忽略两端的空格</source>
        <translation>on: ignore blanks at both ends of a line
when comparing</translation>
    </message>
    <message>
        <source>off: 清理后的文件中不写空行</source>
        <translation>off: no empty lines in the cleaned file</translation>
    </message>
    <message>
        <source>比较时跳过每行的前 N 个字符，N &gt;= 0</source>
        <translation>skip the first N characters of each line when
comparing, N &gt;= 0</translation>
    </message>
    <message>
        <source>只比较正则表达式 PATTERN 匹配的部分；
空的 PATTERN 关闭过滤</source>
        <translation>compare only what the regular expression
PATTERN matches; an empty PATTERN turns the
filter off</translation>
    </message>
    <message>
        <source>不过滤</source>
        <translation>no filter</translation>
    </message>
    <message>
        <source>哪个匹配作为比较的键：-1 最后一个，
0 所有匹配连在一起，N 第 N 个</source>
        <translation>which match is the comparison key: -1 the last,
0 all matches joined, N the Nth</translation>
    </message>
    <message>
        <source>on: 各行按比较时的样子写出：去掉两端
空格、跳过前面的字符、过滤之后</source>
        <translation>on: write lines the way they are compared:
trimmed, first characters skipped and
filtered</translation>
    </message>
    <message>
        <source>文件的文本编码：auto 按字节顺序标记、UTF-16 的
特征、UTF-8 的有效性依次判断，否则推测；
或任何 ICU 编码名称（GB18030、UTF-16LE ...）</source>
        <translation>the file&apos;s text encoding: auto decides by the
byte-order mark, the pattern of UTF-16, valid
UTF-8, in that order, else guesses; or any ICU
encoding name (GB18030, UTF-16LE ...)</translation>
    </message>
    <message>
        <source>on: 兼容字符视为相同（全角与半角字母和
数字、连字等：NFKC）</source>
        <translation>on: compatibility characters count as the same
(full- and half-width letters and digits,
ligatures ...: NFKC)</translation>
    </message>
    <message>
        <source>只扫描，把每个重复项写到标准输出（UTF-8）</source>
        <translation>scan only, and write every duplicate entry to
standard output (UTF-8)</translation>
    </message>
    <message>
        <source>只扫描，每组重复行写一行：出现次数、
制表符、--list 显示的该组文本</source>
        <translation>scan only, and write one line per group of
duplicates: its count, a tab, and the group&apos;s
text as --list shows it</translation>
    </message>
    <message>
        <source>未给出的选项取桌面程序保存的设置，
而不是这里写的默认值</source>
        <translation>options not given take the desktop program&apos;s
stored settings, not the defaults shown here</translation>
    </message>
    <message>
        <source>成功时什么也不输出（错误照样报告）</source>
        <translation>print nothing on success (errors still show)</translation>
    </message>
    <message>
        <source>显示此帮助并退出</source>
        <translation>show this help and exit</translation>
    </message>
    <message>
        <source>显示版本、许可证和所用库的版本并退出</source>
        <translation>show the version, the license and the versions of
the libraries in use, and exit</translation>
    </message>
    <message>
        <source>第一个参数是斜杠开关（以 /i、/o、/s、/c、/r、/m、/f、/x、/a、/p 开头）
或 DEBUG_MODE 时，整行按斜杠开关解读：开关的值一直延续到下一个
开关（所以 /f -3 和 /a -5 照常使用），路径中间出现开关文本时值在那里
被截断，绝对路径请用上面的选项。否则只要有参数以 - 开头，就按上面的
选项解读。</source>
        <translation>When the first argument is a slash switch (starting with /i, /o, /s, /c,
/r, /m, /f, /x, /a or /p) or DEBUG_MODE, the whole line is read as
slash switches: a switch&apos;s value runs on to the next switch (so
/f -3 and /a -5 work as usual), and a value is cut where switch text
appears inside a path; for absolute paths use the options above.
Otherwise any argument starting with - makes the line read as the
options above.</translation>
    </message>
    <message>
        <source>查找并删除文本文件中重复的行（命令行）</source>
        <translation>find and remove duplicate lines in text files (command line)</translation>
    </message>
    <message>
        <source>quillow-cli -i FILE -o FILE -s RULE [选项]...</source>
        <translation>quillow-cli -i FILE -o FILE -s RULE [OPTION]...</translation>
    </message>
    <message>
        <source>quillow-cli --list [--format=FORM] [选项]... FILE</source>
        <translation>quillow-cli --list [--format=FORM] [OPTION]... FILE</translation>
    </message>
    <message>
        <source>quillow-cli --count [选项]... FILE</source>
        <translation>quillow-cli --count [OPTION]... FILE</translation>
    </message>
    <message>
        <source>查找文本文件中出现不止一次的行，按 RULE 删除其中一些出现，写出清理后
的副本；或者只列出、统计重复的行。不需要图形界面。</source>
        <translation>Finds the lines that occur more than once in a text file, drops some of
their occurrences as RULE says, and writes a cleaned copy; or only lists
or counts the duplicated lines. Needs no display.</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>未给出的选项取上面写的默认值，不读桌面程序保存的设置；给出
--use-settings 时取保存的设置。斜杠开关总是从保存的设置开始，
开关覆盖其中的值。quillow-cli 从不改动保存的设置。</source>
        <translation>Options not given take the defaults shown above, not the desktop
program&apos;s stored settings; with --use-settings they take the stored
settings. Slash switches always start from the stored settings
and override their values. quillow-cli never changes the stored settings.</translation>
    </message>
    <message>
        <source>标准错误是终端时显示进度。文本编码不是 UTF-8 时在标准错误上说明
（-q 时不说）。最后一行是结果：输出完整写好之后的状态文本（-q 时
没有），或者写明程序、文件和原因的错误。Ctrl-C 干净地停止，不留下
写了一半的文件。</source>
        <translation>Progress shows when standard error is a terminal. A text encoding other
than UTF-8 is named on standard error (not with -q). The last line is
the outcome: the status text once the output is completely written
(none with -q), or the error, naming the program, the file and the
reason. Ctrl-C stops cleanly and leaves no half-written file.</translation>
    </message>
    <message>
        <source>退出状态</source>
        <translation>Exit status</translation>
    </message>
    <message>
        <source>写出了清理后的文件，或者把输入原样写到了标准输出；
--list 和 --count：找到了重复的行</source>
        <translation>the cleaned file was written, or the input passed unchanged to
standard output; --list and --count: duplicates were found</translation>
    </message>
    <message>
        <source>没有可做的：没有重复的行，或者没有选中的行；不写文件</source>
        <translation>nothing to do: no duplicates, or none selected; no file written</translation>
    </message>
    <message>
        <source>用法错误，或者无法读取输入</source>
        <translation>bad usage, or the input cannot be read</translation>
    </message>
    <message>
        <source>无法写出输出（源文件保持原样）</source>
        <translation>the output cannot be written (the source is left as it was)</translation>
    </message>
    <message>
        <source>示例</source>
        <translation>Examples</translation>
    </message>
    <message>
        <source>每个重复的行只保留第一次出现</source>
        <translation>keep only the first occurrence of each duplicated line</translation>
    </message>
    <message>
        <source>删除所有重复的行（区分大小写），改写 in.txt 本身</source>
        <translation>drop every duplicated line (case-sensitive), rewriting in.txt itself</translation>
    </message>
    <message>
        <source>作为过滤器：去掉重复的行，其余原样传下去</source>
        <translation>as a filter: drop the duplicated lines, pass the rest on unchanged</translation>
    </message>
    <message>
        <source>出现次数最多的行</source>
        <translation>the most frequent lines</translation>
    </message>
    <message>
        <source>每个重复项的行号、组号和文本</source>
        <translation>each duplicate entry&apos;s line number, group number and text</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>Files</translation>
    </message>
    <message>
        <source>桌面程序保存的设置（设置了 $XDG_CONFIG_HOME 时在它下面）；
只在斜杠开关或 --use-settings 时读取，从不写入</source>
        <translation>the desktop program&apos;s stored settings (under $XDG_CONFIG_HOME
when that is set); read only for slash switches or --use-settings,
never written</translation>
    </message>
    <message>
        <source>查找并删除文本文件中重复的行（桌面程序）</source>
        <translation>find and remove duplicate lines in text files (desktop program)</translation>
    </message>
    <message>
        <source>quillow -i FILE -o FILE -s RULE [选项]...</source>
        <translation>quillow -i FILE -o FILE -s RULE [OPTION]...</translation>
    </message>
    <message>
        <source>查找文本文件中出现不止一次的行，选择删除哪些出现，写出清理后的副本。
不带参数时打开窗口供交互使用；只给 FILE 时打开窗口并扫描 FILE；给出
下面的选项时自己清理 FILE，在窗口中显示进度，然后关闭。</source>
        <translation>Finds the lines that occur more than once in a text file, lets you choose
which occurrences to drop, and writes a cleaned copy. Without arguments
it opens its window for interactive use; with FILE alone it opens the
window and scans FILE; with the options below it cleans up FILE by
itself, shows the progress in its window, and closes.</translation>
    </message>
    <message>
        <source>选项只在这一次运行中覆盖保存的设置；完成的运行不改动保存的设置。
DEBUG_MODE 取消窗口的最小尺寸。quillow-cli 不开窗口做同样的事。</source>
        <translation>Options override the stored settings for this run only; a finished run
leaves the stored settings unchanged. DEBUG_MODE lifts the window&apos;s
minimum size. quillow-cli does the same job without a window.</translation>
    </message>
    <message>
        <source>运行的退出状态</source>
        <translation>Exit status of a run</translation>
    </message>
    <message>
        <source>写出了清理后的文件</source>
        <translation>the cleaned file was written</translation>
    </message>
    <message>
        <source>没有可做的：没有重复的行，或者没有选中的行</source>
        <translation>nothing to do: no duplicates, or none selected</translation>
    </message>
    <message>
        <source>无法写出输出</source>
        <translation>the output cannot be written</translation>
    </message>
    <message>
        <source>用&quot;停止&quot;按钮停止的运行留下打开的窗口。</source>
        <translation>A run stopped with the Stop button leaves the window open.</translation>
    </message>
    <message>
        <source>保存的设置（设置了 $XDG_CONFIG_HOME 时在它下面）</source>
        <translation>the stored settings (under $XDG_CONFIG_HOME when that is set)</translation>
    </message>
    <message>
        <source>%1（默认：%2）</source>
        <translation>%1 (default: %2)</translation>
    </message>
    <message>
        <source>用法：</source>
        <translation>Usage: </translation>
    </message>
    <message>
        <source>  或：</source>
        <translation>   or: </translation>
    </message>
    <message>
        <source>选项：</source>
        <translation>Options:</translation>
    </message>
    <message>
        <source>%1：</source>
        <translation>%1:</translation>
    </message>
    <message>
        <source>许可证：MIT
Qt %1，PCRE2 %2，ICU %3</source>
        <translation>License: MIT
Qt %1, PCRE2 %2, ICU %3</translation>
    </message>
    <message>
        <source>用户命令</source>
        <translation>User Commands</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>概述</source>
        <translation>Synopsis</translation>
    </message>
    <message>
        <source>描述</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>选项</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>参见</source>
        <translation>See also</translation>
    </message>
    <message>
        <source>扫描最多使用的内存（512M、4G ...；auto 为
本机可用的内存）；文件和索引放不下时借助
$TMPDIR 中的临时文件分区扫描，结果相同</source>
        <translation>memory a scan may use (512M, 4G ...; auto: what
the machine has available); a file whose index
does not fit is scanned in partitions through a
temporary file in $TMPDIR, with the same result</translation>
    </message>
    <message>
        <source>--list 的格式：numbered 每项一行 &quot;[行号]   文本&quot;；
tsv 每项一行：行号、组号、文本，以制表符
分隔</source>
        <translation>the form of --list: numbered, one entry a line
&quot;[line]   text&quot;; tsv, one entry a line: line,
group and text, separated by tabs</translation>
    </message>
    <message>
        <source>输出已写好并就位，但无法把所在文件夹写入磁盘
（断电时可能丢失）</source>
        <translation>the output was written and is in place, but its folder could not
be flushed to disk (a power loss may still lose it)</translation>
    </message>
    <message>
        <source>被 Ctrl-C 停止（输出写好之后才到的停止：0）</source>
        <translation>stopped by Ctrl-C (a stop that comes once the output is written: 0)</translation>
    </message>
</context>
<context>
    <name>quillow::text</name>
    <message>
        <source>未知或有歧义的选项 %1</source>
        <translation>unknown or ambiguous option %1</translation>
    </message>
    <message>
        <source>选项 %1 需要一个值</source>
        <translation>option %1 needs a value</translation>
    </message>
    <message>
        <source>选项 %1 不带值</source>
        <translation>option %1 takes no value</translation>
    </message>
    <message>
        <source>选项 %1 的值 %2 无效（应为 %3）</source>
        <translation>invalid value %2 for option %1 (expected %3)</translation>
    </message>
    <message>
        <source>/s 必须是 1、2 或 3，不是 %1</source>
        <translation>/s must be 1, 2 or 3, not %1</translation>
    </message>
    <message>
        <source>选项 %1 的值 %2 无效: %3</source>
        <translation>invalid value %2 for option %1: %3</translation>
    </message>
    <message>
        <source>选项 %1 的正则表达式 %2 无效: %3</source>
        <translation>invalid regular expression %2 for option %1: %3</translation>
    </message>
    <message>
        <source>%1 只用于 quillow-cli</source>
        <translation>%1 is only for quillow-cli</translation>
    </message>
    <message>
        <source>无法写入标准输出: %1</source>
        <translation>cannot write to standard output: %1</translation>
    </message>
    <message>
        <source>文本编码 %1（字节顺序标记）</source>
        <translation>text encoding %1 (byte-order mark)</translation>
    </message>
    <message>
        <source>文本编码 %1（检测得出）</source>
        <translation>text encoding %1 (detected)</translation>
    </message>
    <message>
        <source>文本编码 %1</source>
        <translation>text encoding %1</translation>
    </message>
    <message>
        <source>%1（见 %2 --help）</source>
        <translation>%1 (see %2 --help)</translation>
    </message>
    <message>
        <source>1 或 all、2 或 all-but-first、3 或 all-but-last</source>
        <translation>1 or all, 2 or all-but-first, 3 or all-but-last</translation>
    </message>
    <message>
        <source>on 或 off</source>
        <translation>on or off</translation>
    </message>
    <message>
        <source>0 到 32767 的整数</source>
        <translation>a whole number from 0 to 32767</translation>
    </message>
    <message>
        <source>-1 到 32767 的整数</source>
        <translation>a whole number from -1 to 32767</translation>
    </message>
    <message>
        <source>给出了多个输入文件</source>
        <translation>more than one input file given</translation>
    </message>
    <message>
        <source>没有给出输入文件（-i 文件，或直接写文件；- 读标准输入）</source>
        <translation>no input file given (-i FILE, or FILE alone; - reads standard input)</translation>
    </message>
    <message>
        <source>没有给出输出文件（-o 文件；-o - 写到标准输出）</source>
        <translation>no output file given (-o FILE; -o - writes to standard output)</translation>
    </message>
    <message>
        <source>没有给出选择规则（-s 1|all、2|all-but-first、3|all-but-last）</source>
        <translation>no selection rule given (-s 1|all, 2|all-but-first, 3|all-but-last)</translation>
    </message>
    <message>
        <source>选项 -o (--output) 需要一个文件名</source>
        <translation>option -o (--output) needs a file name</translation>
    </message>
    <message>
        <source>--list 和 --count 把结果写到标准输出，不能与 -o 同用</source>
        <translation>--list and --count write to standard output and cannot be used with -o</translation>
    </message>
    <message>
        <source>--list 和 --count 只能用一个</source>
        <translation>--list and --count cannot be used together</translation>
    </message>
    <message>
        <source>--format 只用于 --list</source>
        <translation>--format is for --list only</translation>
    </message>
    <message>
        <source>没有给出输入文件、输出文件和选择规则</source>
        <translation>no input file, output file or selection rule given</translation>
    </message>
    <message>
        <source>开关 /i、/o 和 /s 都必须给出</source>
        <translation>the switches /i, /o and /s must all be given</translation>
    </message>
    <message>
        <source>标准输入和标准输出</source>
        <translation>standard input and standard output</translation>
    </message>
    <message>
        <source>标准输入</source>
        <translation>standard input</translation>
    </message>
    <message>
        <source>标准输出</source>
        <translation>standard output</translation>
    </message>
    <message>
        <source>没有要删除的行，输入原样写到标准输出。</source>
        <translation>No lines to drop; the input was written to standard output unchanged.</translation>
    </message>
    <message>
        <source>未知的文本编码：%1</source>
        <translation>unknown text encoding: %1</translation>
    </message>
    <message>
        <source>不支持按行处理的文本编码：%1</source>
        <translation>text encoding that cannot be read line by line: %1</translation>
    </message>
    <message>
        <source>正载入文件...        </source>
        <extracomment>A progress text; the percentage follows the blanks.</extracomment>
        <translation>Loading the file... </translation>
    </message>
    <message>
        <source>正查找重复项...             </source>
        <translation>Finding duplicates... </translation>
    </message>
    <message>
        <source>正准备保存...             </source>
        <translation>Preparing to save... </translation>
    </message>
    <message>
        <source>正保存文件...       </source>
        <translation>Saving the file... </translation>
    </message>
    <message>
        <source>正在选择...      </source>
        <translation>Selecting... </translation>
    </message>
    <message>
        <source>警告: 斜杠开关截断了路径 %1；含有斜杠的路径请用 GNU 选项: -i 输入文件 -o 输出文件 -s 1|2|3 (见 quillow-cli --help)</source>
        <translation>Warning: the slash switches cut the path %1; for paths with slashes use the GNU options: -i INPUT -o OUTPUT -s 1|2|3 (see quillow-cli --help)</translation>
    </message>
    <message numerus="yes">
        <source>扫描      %1 行: 找到        %2 个重复项包含有              %n 个唯一的重复项！</source>
        <translation>
            <numerusform>Scanned %1 lines: found %2 duplicates in %n distinct group!</numerusform>
            <numerusform>Scanned %1 lines: found %2 duplicates in %n distinct groups!</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n 找到重复行(被用户中断)</source>
        <translation>
            <numerusform>%n duplicate line found (interrupted by the user)</numerusform>
            <numerusform>%n duplicate lines found (interrupted by the user)</numerusform>
        </translation>
    </message>
    <message>
        <source>没有找到重复行(被用户中断)</source>
        <translation>No duplicate lines found (interrupted by the user)</translation>
    </message>
    <message>
        <source>%1 共  %2 个重复项已选定。</source>
        <translation>%1 of %2 duplicates selected.</translation>
    </message>
    <message>
        <source>错误: 无法打开文件</source>
        <translation>Error: cannot open the file</translation>
    </message>
    <message>
        <source>错误: 文件为空！</source>
        <translation>Error: the file is empty!</translation>
    </message>
    <message>
        <source>文件错误！</source>
        <translation>File error!</translation>
    </message>
    <message>
        <source>错误: 内存不足，无法载入文件</source>
        <translation>Error: not enough memory to load the file</translation>
    </message>
    <message>
        <source>正载入文件...</source>
        <translation>Loading the file...</translation>
    </message>
    <message>
        <source>文件已载入！</source>
        <translation>File loaded!</translation>
    </message>
    <message>
        <source>正查找重复项...</source>
        <translation>Finding duplicates...</translation>
    </message>
    <message>
        <source>正在结束...</source>
        <translation>Finishing...</translation>
    </message>
    <message>
        <source>正在给重复项排序...</source>
        <translation>Sorting the duplicates...</translation>
    </message>
    <message>
        <source>正在显示列表...</source>
        <translation>Showing the lists...</translation>
    </message>
    <message>
        <source>没有找到重复行...</source>
        <translation>No duplicate lines found...</translation>
    </message>
    <message>
        <source>你确实想停止处理吗？</source>
        <translation>Do you really want to stop processing?</translation>
    </message>
    <message>
        <source>不可预览...</source>
        <translation>Preview not available...</translation>
    </message>
    <message>
        <source>无法找到来源文件！</source>
        <translation>Cannot find the source file!</translation>
    </message>
    <message>
        <source>来源文件已被更改！取消保存...</source>
        <translation>The source file has changed! Save cancelled...</translation>
    </message>
    <message>
        <source>没有选择重复项！ 请在重复列表中选择行并标记这些行的检查框，或点击选择按钮使用通常选项。 那么，你就可以保存为没有这些选定行的文件。</source>
        <translation>No duplicates are selected! Select lines in the duplicates list by ticking their check boxes, or click the Select button for the usual choices. Then you can save the file without the selected lines.</translation>
    </message>
    <message>
        <source>所选文件有写入保护。你要移除写入保护并继续保存吗？</source>
        <translation>The chosen file is write-protected. Do you want to remove the write protection and go on saving?</translation>
    </message>
    <message>
        <source>新文件名没有包含扩展名。你打算
添加与原始文件名一样的扩展名吗？(推荐)</source>
        <translation>The new file name has no extension. Do you want to
add the extension of the original file name? (Recommended)</translation>
    </message>
    <message>
        <source>正准备保存...</source>
        <translation>Preparing to save...</translation>
    </message>
    <message>
        <source>正保存文件...</source>
        <translation>Saving the file...</translation>
    </message>
    <message>
        <source>打开来源文件读取错误！</source>
        <translation>Error opening the source file for reading!</translation>
    </message>
    <message>
        <source>打开文件写入错误！</source>
        <translation>Error opening the file for writing!</translation>
    </message>
    <message>
        <source>保存文件错误！</source>
        <translation>Error saving the file!</translation>
    </message>
    <message>
        <source>完成保存！</source>
        <translation>Save complete!</translation>
    </message>
    <message>
        <source>保存被取消...</source>
        <translation>Save cancelled...</translation>
    </message>
    <message>
        <source>你确实要中断保存吗？</source>
        <translation>Do you really want to stop saving?</translation>
    </message>
    <message>
        <source>正在选择...</source>
        <translation>Selecting...</translation>
    </message>
    <message>
        <source>没有复制对象...</source>
        <translation>Nothing to copy...</translation>
    </message>
    <message>
        <source>请输入一个行以便用你的过滤测试。你也可以键入 line=# 在这里 # 为当前载入文件的行号</source>
        <translation>Enter a line to test your filter on. You can also type line=#, where # is a line number of the loaded file.</translation>
    </message>
    <message>
        <source>你的过滤返回下述结果:<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>Your filter returns:<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>(空)</source>
        <translation>(empty)</translation>
    </message>
    <message>
        <source>执行失败！正则表达式可能有语法错误...</source>
        <translation>The filter failed! The regular expression may have a syntax error...</translation>
    </message>
    <message>
        <source>所有文件(*.*)  |*.*|文本文档(*.txt)   |*.txt</source>
        <translation>All files (*.*)|*.*|Text documents (*.txt)|*.txt</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>Not a regular file</translation>
    </message>
    <message>
        <source>无法使用设置文件，使用默认设置...</source>
        <translation>Cannot use the settings file; using the default settings...</translation>
    </message>
    <message>
        <source>错误: 内存不足</source>
        <translation>Error: out of memory</translation>
    </message>
    <message>
        <source>auto，或带 K、M、G、T 的大小，如 512M</source>
        <translation>auto, or a size with K, M, G or T, such as 512M</translation>
    </message>
    <message>
        <source>内存不够，正借助临时文件查找重复项...</source>
        <translation>Not enough memory: finding duplicates through a temporary file...</translation>
    </message>
    <message>
        <source>错误: 无法写入临时文件</source>
        <translation>Error: cannot write the temporary file</translation>
    </message>
    <message>
        <source>numbered 或 tsv</source>
        <translation>numbered or tsv</translation>
    </message>
    <message>
        <source>错误: 无法读取临时文件</source>
        <translation>Error: cannot read the temporary file</translation>
    </message>
    <message>
        <source>文件在读取时被更改</source>
        <translation>the file changed while it was read</translation>
    </message>
    <message>
        <source>共享文件夹中属于他人的符号链接，不跟随</source>
        <translation>a symbolic link in a shared folder that belongs to someone else; not followed</translation>
    </message>
    <message>
        <source>已写入 %1，但无法把所在文件夹写入磁盘: %2</source>
        <translation>%1 written, but the folder could not be flushed: %2</translation>
    </message>
    <message>
        <source>设置文件 %1 中的 %2 无效: %3</source>
        <translation>%2 in the settings file %1 is invalid: %3</translation>
    </message>
    <message>
        <source>已写入；写完后停止</source>
        <translation>written; stopped after writing</translation>
    </message>
</context>
</TS>
