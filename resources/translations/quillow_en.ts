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
    <name>quillow::DisplayCheck</name>
    <message>
        <source>DISPLAY 和 WAYLAND_DISPLAY 都没有设置</source>
        <translation>neither DISPLAY nor WAYLAND_DISPLAY is set</translation>
    </message>
    <message>
        <source>无法连接到 %1</source>
        <translation>cannot connect to %1</translation>
    </message>
    <message>
        <source>quillow: 无法打开显示 (%1)；quillow-cli 无需显示即可完成同样的工作</source>
        <translation>quillow: cannot open a display (%1); quillow-cli does the same job without one</translation>
    </message>
</context>
<context>
    <name>quillow::FindBar</name>
    <message>
        <source>查找:</source>
        <translation>Find:</translation>
    </message>
    <message>
        <source>在哪个列表中查找。</source>
        <translation>The list to search.</translation>
    </message>
    <message>
        <source>要查找的文字；Enter 查找下一个，Shift+Enter 查找上一个，Esc 关闭查找栏。</source>
        <translation>The text to find; Enter finds the next, Shift+Enter the previous, Esc closes the find bar.</translation>
    </message>
    <message>
        <source>正则表达式</source>
        <translation>Regular expression</translation>
    </message>
    <message>
        <source>把文字当作正则表达式（与过滤使用相同的写法）。</source>
        <translation>Read the text as a regular expression (written as for the filter).</translation>
    </message>
    <message>
        <source>匹配大小写</source>
        <translation>Match case</translation>
    </message>
    <message>
        <source>只查找大小写也相同的文字。</source>
        <translation>Find only text whose letter case matches too.</translation>
    </message>
    <message>
        <source>查找上一个 (Shift+F3)</source>
        <translation>Find previous (Shift+F3)</translation>
    </message>
    <message>
        <source>查找下一个 (F3)</source>
        <translation>Find next (F3)</translation>
    </message>
    <message>
        <source>关闭查找栏 (Esc)</source>
        <translation>Close the find bar (Esc)</translation>
    </message>
</context>
<context>
    <name>quillow::FindController</name>
    <message>
        <source>表达式有误: %1</source>
        <translation>Faulty expression: %1</translation>
    </message>
    <message>
        <source>没有找到</source>
        <translation>Not found</translation>
    </message>
    <message>
        <source>第 %1 个，共 %2 个</source>
        <translation>%1 of %2</translation>
    </message>
    <message>
        <source>共 %1 个</source>
        <translation>%1 found</translation>
    </message>
    <message>
        <source> (正在查找 %1%)</source>
        <translation> (searching, %1%)</translation>
    </message>
</context>
<context>
    <name>quillow::HelpWindow</name>
    <message>
        <source>Quillow 帮助</source>
        <translation>Quillow Help</translation>
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
    <message>
        <source>查看器中的勾选</source>
        <translation>Ticks in the Viewer</translation>
    </message>
    <message>
        <source>来源文件</source>
        <translation>Source file</translation>
    </message>
    <message>
        <source>找到重复项</source>
        <translation>Duplicates</translation>
    </message>
    <message>
        <source>转到行 (1 - %1):</source>
        <translation>Go to line (1 - %1):</translation>
    </message>
    <message>
        <source>转到行</source>
        <translation>Go to Line</translation>
    </message>
    <message>
        <source>没有第 %1 行：文件有 %2 行。</source>
        <translation>There is no line %1: the file has %2 lines.</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>打开(&amp;O)...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>最近打开的文件(&amp;R)</source>
        <translation>Open &amp;Recent</translation>
    </message>
    <message>
        <source>另存为(&amp;A)...</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>重新载入(&amp;L)</source>
        <translation>Re&amp;load</translation>
    </message>
    <message>
        <source>退出(&amp;Q)</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>编辑(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>复制到剪贴板(&amp;C)...</source>
        <translation>&amp;Copy to Clipboard...</translation>
    </message>
    <message>
        <source>查找(&amp;F)...</source>
        <translation>&amp;Find...</translation>
    </message>
    <message>
        <source>查找下一个(&amp;N)</source>
        <translation>Find &amp;Next</translation>
    </message>
    <message>
        <source>查找上一个(&amp;P)</source>
        <translation>Find &amp;Previous</translation>
    </message>
    <message>
        <source>转到行(&amp;G)...</source>
        <translation>&amp;Go to Line...</translation>
    </message>
    <message>
        <source>撤销(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>重做(&amp;R)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>选择(&amp;S)</source>
        <translation>&amp;Select</translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>查看器(&amp;V)</source>
        <translation>&amp;Viewer</translation>
    </message>
    <message>
        <source>放大列表字体(&amp;I)</source>
        <translation>&amp;Increase List Font Size</translation>
    </message>
    <message>
        <source>缩小列表字体(&amp;D)</source>
        <translation>&amp;Decrease List Font Size</translation>
    </message>
    <message>
        <source>默认列表字体(&amp;N)</source>
        <translation>&amp;Normal List Font Size</translation>
    </message>
    <message>
        <source>工具(&amp;T)</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>选项(&amp;O)...</source>
        <translation>&amp;Options...</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Quillow 帮助(&amp;H)</source>
        <translation>Quillow &amp;Help</translation>
    </message>
    <message>
        <source>关于 Quillow(&amp;A)</source>
        <translation>&amp;About Quillow</translation>
    </message>
    <message>
        <source>撤销(&amp;U): %1</source>
        <translation>&amp;Undo: %1</translation>
    </message>
    <message>
        <source>重做(&amp;R): %1</source>
        <translation>&amp;Redo: %1</translation>
    </message>
    <message>
        <source>(无)</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>清除列表(&amp;C)</source>
        <translation>&amp;Clear List</translation>
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
    <message>
        <source>内存上限:</source>
        <translation>Memory limit:</translation>
    </message>
    <message>
        <source>内存上限无效: %1
请输入一个大小，例如 512M 或 2G，或者选择“自动”。</source>
        <translation>Not a memory limit: %1
Enter a size such as 512M or 2G, or choose “Automatic”.</translation>
    </message>
    <message>
        <source>扫描最多使用的内存（如 512M、2G）。文件和它的索引放不下时，借助临时文件分区查找重复项，结果相同；自动：本机可用的内存。</source>
        <translation>The most memory a scan may use (such as 512M or 2G). A file whose lines and index do not fit is scanned through a temporary file, partition by partition, with the same result; Automatic: what the machine has available.</translation>
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
    <name>quillow::TickCommand</name>
    <message>
        <source>勾选</source>
        <translation>Tick</translation>
    </message>
    <message>
        <source>取消勾选</source>
        <translation>Untick</translation>
    </message>
</context>
<context>
    <name>quillow::ViewerModel</name>
    <message>
        <source>行</source>
        <translation>Line</translation>
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
    <message>
        <source>后面没有更多重复组。</source>
        <translation>No more duplicate groups below.</translation>
    </message>
    <message>
        <source>前面没有更多重复组。</source>
        <translation>No more duplicate groups above.</translation>
    </message>
    <message>
        <source>转到行 (1 - %1):</source>
        <translation>Go to line (1 - %1):</translation>
    </message>
    <message>
        <source>转到行</source>
        <translation>Go to Line</translation>
    </message>
    <message>
        <source>没有第 %1 行：文件有 %2 行。</source>
        <translation>There is no line %1: the file has %2 lines.</translation>
    </message>
</context>
<context>
    <name>quillow::help</name>
    <message>
        <source>哪个匹配作为比较的键：-1 最后一个，
0 所有匹配连在一起，N 第 N 个</source>
        <translation>which match is the comparison key: -1 the last,
0 all matches joined, N the Nth</translation>
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
        <source>显示此帮助并退出</source>
        <translation>show this help and exit</translation>
    </message>
    <message>
        <source>显示版本、许可证和所用库的版本并退出</source>
        <translation>show the version, the license and the versions of
the libraries in use, and exit</translation>
    </message>
    <message>
        <source>查找并删除文本文件中重复的行（命令行）</source>
        <translation>find and remove duplicate lines in text files (command line)</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>退出状态</source>
        <translation>Exit status</translation>
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
        <source>运行的退出状态</source>
        <translation>Exit status of a run</translation>
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
        <source>写出什么</source>
        <translation>What is written</translation>
    </message>
    <message>
        <source>怎样比较</source>
        <translation>How lines compare</translation>
    </message>
    <message>
        <source>文件和内存</source>
        <translation>Files and memory</translation>
    </message>
    <message>
        <source>其他</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>第一个参数是斜杠开关（以 /i、/o、/s、/c、/r、/m、/f、/x、/a、/p 开头）
或 DEBUG_MODE 时，整行按斜杠开关解读：开关的值一直延续到下一个
开关（所以 /f -3 和 /a -5 照常使用），路径中间出现开关文本时值在那里
被截断，绝对路径请用上面的选项。</source>
        <translation>When the first argument is a slash switch (starting with /i, /o, /s, /c,
/r, /m, /f, /x, /a or /p) or DEBUG_MODE, the whole line is read as
slash switches: a switch&apos;s value runs on to the next switch (so
/f -3 and /a -5 work as usual), and a value is cut where switch text
appears inside a path; for absolute paths use the options above.</translation>
    </message>
    <message>
        <source>比较的部分依次这样取：-k 的字段，跳过 -f 个字段，--trim，跳过 -s 个
字符，最多 -w 个字符，--regex 匹配的部分；然后按 -i 和 --compat 比较。
比较的部分为空或只有空格的行从不算重复。</source>
        <translation>The part of a line that is compared, step by step: the field of -k,
after -f fields, --trim, after -s characters, at most -w characters,
what --regex matches; then compared as -i and --compat say. Lines
whose compared part is empty or blank are never duplicates.</translation>
    </message>
    <message>
        <source>quillow-cli [选项]... [INPUT [OUTPUT]]</source>
        <translation>quillow-cli [OPTION]... [INPUT [OUTPUT]]</translation>
    </message>
    <message>
        <source>把 INPUT 写到 OUTPUT，每个行只留第一次出现（像 awk &apos;!a[$0]++&apos;）。
没有 INPUT 或为 - 时读标准输入，没有 OUTPUT 或为 - 时写到标准输出。
行默认按原样比较；空行和只有空格的行从不算重复。写出的行都是它们在
输入中的字节：编码、无效字节和行尾都不变。</source>
        <translation>Write INPUT to OUTPUT with only the first occurrence of each line (as
awk &apos;!a[$0]++&apos; does). Without INPUT, or when it is -, read standard
input; without OUTPUT, or when it is -, write to standard output. Lines
compare exactly unless options say otherwise; empty and blank lines are
never duplicates. Lines are written as their own bytes: encoding,
invalid bytes and line ends stay as they are.</translation>
    </message>
    <message>
        <source>未给出的选项取上面写的默认值，不读桌面程序保存的设置（除非给出
--use-settings）。斜杠开关总是从保存的设置开始，开关覆盖其中的值。
quillow-cli 从不改动保存的设置。</source>
        <translation>Options not given take the defaults shown above; the desktop program&apos;s
stored settings are not read (unless --use-settings is given). Slash
switches always start from the stored settings and override them.
quillow-cli never changes the stored settings.</translation>
    </message>
    <message>
        <source>成功时标准错误上什么也没有（-v 写一行摘要）；错误写成
&quot;quillow-cli: 文件: 原因&quot;。Ctrl-C、SIGTERM 和 SIGHUP 立即停止，不留下
写了一半的文件；标准输出被关闭时悄然结束（SIGPIPE）。斜杠开关的运行
在标准错误上写出最后的状态文本。</source>
        <translation>Nothing is written to standard error on success (-v writes a summary
line); errors read &quot;quillow-cli: FILE: reason&quot;. Ctrl-C, SIGTERM and
SIGHUP stop at once and leave no half-written file; a closed standard
output ends the run quietly (SIGPIPE). Runs of slash switches end with
their status text on standard error.</translation>
    </message>
    <message>
        <source>输出写好了（没有要删除的行时，输出就是输入）</source>
        <translation>the output was written (with nothing to drop, the output is the input)</translation>
    </message>
    <message>
        <source>只用于斜杠开关：没有重复的行或没有选中的行，不写文件</source>
        <translation>slash switches only: no duplicates, or nothing selected; nothing written</translation>
    </message>
    <message>
        <source>每个重复的行只留第一次出现</source>
        <translation>keep the first occurrence of each repeated line</translation>
    </message>
    <message>
        <source>同上，不区分大小写，改写 names.txt 本身</source>
        <translation>the same ignoring letter case, rewriting names.txt itself</translation>
    </message>
    <message>
        <source>只写只出现一次的行</source>
        <translation>only the lines that occur once</translation>
    </message>
    <message>
        <source>第二个字段重复的记录只留第一条</source>
        <translation>keep the first record of each value of the second field</translation>
    </message>
    <message>
        <source>所有日志中重复的行，每次出现都写</source>
        <translation>every occurrence of the lines repeated across all logs</translation>
    </message>
    <message>
        <source>quillow [选项]... FILE</source>
        <translation>quillow [OPTION]... FILE</translation>
    </message>
    <message>
        <source>quillow [选项]... INPUT -o OUTPUT</source>
        <translation>quillow [OPTION]... INPUT -o OUTPUT</translation>
    </message>
    <message>
        <source>查找文本文件中出现不止一次的行，选择删除哪些出现，写出清理后的副本。
不带参数时打开窗口；给出 FILE 时打开窗口并扫描 FILE，选择如何比较和
读取的选项用于这次扫描；给出输出（-o、OUTPUT 或 --in-place）时自己
清理 INPUT，像 quillow-cli 那样写出，在窗口中显示进度，然后关闭。</source>
        <translation>Find the lines that occur more than once in a text file, choose which
occurrences to drop, and write a cleaned copy. Without arguments the
window opens; with FILE it opens and scans FILE, by the options given
that choose how to compare and read; with an output (-o, OUTPUT or
--in-place) the program cleans INPUT by itself, writing as quillow-cli
does, shows the progress in its window and closes.</translation>
    </message>
    <message>
        <source>运行从上面写的默认值开始（--use-settings 时从保存的设置开始）；
完成的运行不改动保存的设置。DEBUG_MODE 取消窗口的最小尺寸。</source>
        <translation>Runs start from the defaults shown above (from the stored settings with
--use-settings); a completed run leaves the stored settings as they
were. DEBUG_MODE lifts the windows&apos; minimum sizes.</translation>
    </message>
    <message>
        <source>输出写好了</source>
        <translation>the output was written</translation>
    </message>
    <message>
        <source>只用于斜杠开关：没有重复的行或没有选中的行</source>
        <translation>slash switches only: no duplicates, or nothing selected</translation>
    </message>
    <message>
        <source>重复的行留下哪一次出现：first 第一次，last 最后一次；
也用于 -d 和 -c</source>
        <translation>which occurrence of a repeated line stays: first or
last; also for -d and -c</translation>
    </message>
    <message>
        <source>每个重复的行只写一次（第一次出现的那一行）</source>
        <translation>each repeated line once (its first occurrence)</translation>
    </message>
    <message>
        <source>重复的行每次出现都写，按文件中的顺序</source>
        <translation>every occurrence of each repeated line, in file order</translation>
    </message>
    <message>
        <source>每个行写一次，前面是出现的次数（同 uniq -c），
按第一次出现的顺序；与 -d 同用时只写重复的行</source>
        <translation>each line once, after its number of occurrences (as
uniq -c), in order of first occurrence; with -d only
the repeated lines</translation>
    </message>
    <message>
        <source>桌面程序的重复项列表：每次出现一行
&quot;[行号]   文本&quot;（UTF-8）</source>
        <translation>the desktop program&apos;s duplicates list: a line
&quot;[line]   text&quot; for every occurrence (UTF-8)</translation>
    </message>
    <message>
        <source>--list 的格式：numbered，或 tsv（行号、组号和
文本，以制表符分隔）</source>
        <translation>form of --list: numbered, or tsv (line number,
group number and text separated by tabs)</translation>
    </message>
    <message>
        <source>不写空行</source>
        <translation>do not write empty lines</translation>
    </message>
    <message>
        <source>每行写成它比较的部分（去掉两端空格、跳过
字段和字符、过滤之后）</source>
        <translation>write each line as the part that is compared
(trimmed, fields and characters skipped, filtered)</translation>
    </message>
    <message>
        <source>不区分大小写（Unicode 大小写折叠）</source>
        <translation>letter case does not count (Unicode case folding)</translation>
    </message>
    <message>
        <source>不比较前 N 个字段（字段是空白加非空白；
有 -t 时以 SEP 分隔）</source>
        <translation>ignore the first N fields (blanks, then non-blanks;
with -t, fields end at SEP)</translation>
    </message>
    <message>
        <source>不比较前 N 个字符</source>
        <translation>ignore the first N characters</translation>
    </message>
    <message>
        <source>最多比较 N 个字符</source>
        <translation>compare at most N characters</translation>
    </message>
    <message>
        <source>只比较第 N 个字段</source>
        <translation>compare only field N</translation>
    </message>
    <message>
        <source>字段以字符 SEP 分隔（用于 -k 和 -f）；
双引号中的字段可以包含 SEP（CSV）</source>
        <translation>fields end at the character SEP (for -k and -f); a
field in double quotes may hold SEP (CSV)</translation>
    </message>
    <message>
        <source>不比较两端的空格</source>
        <translation>blanks at both ends do not count</translation>
    </message>
    <message>
        <source>只比较正则表达式 PATTERN 匹配的部分</source>
        <translation>compare only what the regular expression PATTERN
matches</translation>
    </message>
    <message>
        <source>兼容字符视为相同（全角与半角字母和
数字、连字等：NFKC）</source>
        <translation>compatibility forms compare alike (full and half
width letters and digits, ligatures ...: NFKC)</translation>
    </message>
    <message>
        <source>行以 NUL 结束，而不是换行符</source>
        <translation>lines end with NUL, not newline</translation>
    </message>
    <message>
        <source>把结果写到 FILE，可以就是输入文件</source>
        <translation>write the result to FILE, which may be the input</translation>
    </message>
    <message>
        <source>把结果写回 INPUT（经临时文件整体替换）</source>
        <translation>write the result back over INPUT (replaced whole,
through a temporary file)</translation>
    </message>
    <message>
        <source>依次读 F 中列出的文件（以 NUL 分隔），
像 cat 一样连起来；F 为 - 时从标准输入读文件名</source>
        <translation>read the files named in F (separated by NULs) one
after another, as cat joins them; - as F reads the
names from standard input</translation>
    </message>
    <message>
        <source>从桌面程序保存的设置开始，给出的选项加在上面</source>
        <translation>start from the desktop program&apos;s stored settings;
the options given add to them</translation>
    </message>
    <message>
        <source>结束时在标准错误上写一行摘要</source>
        <translation>print a summary line on standard error at the end</translation>
    </message>
    <message>
        <source>输出已写好并就位，但无法把所在文件夹写入磁盘
（断电时可能丢失）</source>
        <translation>the output was written and is in place, but its folder could not
be flushed to disk (a power loss may still lose it)</translation>
    </message>
    <message>
        <source>被 Ctrl-C、SIGTERM 或 SIGHUP 停止（输出写好之后
才到的停止：0）</source>
        <translation>stopped by Ctrl-C, SIGTERM or SIGHUP (a stop that comes once
the output is written: 0)</translation>
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
        <source>0 到 32767 的整数</source>
        <translation>a whole number from 0 to 32767</translation>
    </message>
    <message>
        <source>-1 到 32767 的整数</source>
        <translation>a whole number from -1 to 32767</translation>
    </message>
    <message>
        <source>--format 只用于 --list</source>
        <translation>--format is for --list only</translation>
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
        <source>正在写出列表...       </source>
        <extracomment>A progress text of quillow-cli --list; the percentage follows the blanks.</extracomment>
        <translation>Writing the list... </translation>
    </message>
    <message>
        <source>正在选择...      </source>
        <translation>Selecting... </translation>
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
    <message numerus="yes">
        <source>完成保存！删除了 %n 行，已写入 %1</source>
        <translation>
            <numerusform>Save complete! Dropped %n line, wrote %1</numerusform>
            <numerusform>Save complete! Dropped %n lines, wrote %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>已重新载入，保留了 %n 个勾选。</source>
        <translation>
            <numerusform>Reloaded; %n tick kept.</numerusform>
            <numerusform>Reloaded; %n ticks kept.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n 个勾选的行已改变或不再重复。</source>
        <translation>
            <numerusform> %n ticked line changed or is no longer a duplicate.</numerusform>
            <numerusform> %n ticked lines changed or are no longer duplicates.</numerusform>
        </translation>
    </message>
    <message>
        <source>没有过滤：比较整行。比较的内容是:<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>No filter: whole lines are compared. The line as compared:<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>%1
看起来是二进制文件，不是文本文件。仍要打开吗？</source>
        <translation>%1
looks like a binary file, not a text file. Open it anyway?</translation>
    </message>
    <message>
        <source>已勾选的 %1 个重复项将丢失。仍要重新扫描吗？</source>
        <translation>The %1 ticked duplicates will be lost. Scan anyway?</translation>
    </message>
    <message>
        <source>正在归组重复项...       </source>
        <translation>Grouping duplicates... </translation>
    </message>
    <message>
        <source>正在给重复项排序...       </source>
        <translation>Sorting the duplicates... </translation>
    </message>
    <message>
        <source>正在归组重复项...</source>
        <translation>Grouping duplicates...</translation>
    </message>
    <message>
        <source>选项 %1 和 %2 不能同时使用</source>
        <translation>options %1 and %2 cannot be used together</translation>
    </message>
    <message>
        <source>多余的操作数 %1</source>
        <translation>extra operand %1</translation>
    </message>
    <message>
        <source>不再接受这种选项写法（含义已改变）；现在写作：%1</source>
        <translation>options written in a form that is no longer read (its meaning changed); write: %1</translation>
    </message>
    <message>
        <source>first 或 last</source>
        <translation>first or last</translation>
    </message>
    <message>
        <source>0 或更大的整数</source>
        <translation>a whole number of 0 or more</translation>
    </message>
    <message>
        <source>1 或更大的整数</source>
        <translation>a whole number of 1 or more</translation>
    </message>
    <message>
        <source>一个字符</source>
        <translation>one character</translation>
    </message>
    <message>
        <source>没有给出输入文件</source>
        <translation>no input file given</translation>
    </message>
    <message>
        <source>没有给出输出文件（-o FILE、OUTPUT 或 --in-place）</source>
        <translation>no output file given (-o FILE, OUTPUT or --in-place)</translation>
    </message>
    <message>
        <source>选项 %1 需要一个文件名</source>
        <translation>option %1 needs a file name</translation>
    </message>
    <message>
        <source>--list 把结果写到标准输出，不能给出输出文件</source>
        <translation>--list writes to standard output and takes no output file</translation>
    </message>
    <message>
        <source>--in-place 需要一个输入文件</source>
        <translation>--in-place needs an input file</translation>
    </message>
    <message>
        <source>用 --files0-from 时不能再给出文件 %1</source>
        <translation>extra operand %1: files cannot be given with --files0-from</translation>
    </message>
    <message>
        <source>已中断</source>
        <translation>interrupted</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>文件在读取之后被更改</source>
        <translation>the file changed after it was read</translation>
    </message>
    <message>
        <source>无法写入临时文件（%1）</source>
        <translation>cannot write the temporary file (%1)</translation>
    </message>
    <message>
        <source>文件名为空</source>
        <translation>empty file name</translation>
    </message>
    <message>
        <source>从标准输入读文件名时，- 不能作为文件名</source>
        <translation>- cannot name a file when the names come from standard input</translation>
    </message>
    <message>
        <source>警告: 斜杠开关截断了路径 %1；含有斜杠的路径请用 GNU 选项: quillow-cli 输入文件 -o 输出文件 (见 quillow-cli --help)</source>
        <translation>Warning: the slash switches cut the path %1; for paths with slashes use the GNU options: quillow-cli INPUT -o OUTPUT (see quillow-cli --help)</translation>
    </message>
    <message>
        <source>无法读取临时文件（%1）</source>
        <translation>cannot read the temporary file (%1)</translation>
    </message>
    <message>
        <source>已写入，但无法把所在文件夹写入磁盘: %1</source>
        <translation>written, but the folder could not be flushed: %1</translation>
    </message>
    <message>
        <source>设置文件 %1 中的 %2 无效: %3</source>
        <translation>%2 in the settings file %1 is invalid: %3</translation>
    </message>
    <message>
        <source>错误: 无法读取临时文件</source>
        <translation>Error: cannot read the temporary file</translation>
    </message>
    <message>
        <source>已写入；写完后停止</source>
        <translation>written; stopped after writing</translation>
    </message>
    <message>
        <source>文件在读取时被更改</source>
        <translation>the file changed while it was read</translation>
    </message>
    <message>
        <source>共享文件夹中属于他人的符号链接，不跟随</source>
        <translation>a symbolic link in a shared folder that belongs to someone else; not followed</translation>
    </message>
</context>
</TS>
