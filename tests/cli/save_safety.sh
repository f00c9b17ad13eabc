#!/usr/bin/env bash
# Nothing overwritten that was not asked for, and stops that stop: one row
# per case, each checking the exit status, the bytes of the file the case
# writes or must leave alone, and the last line on stderr. Cases that need
# strace, or root to act as a second user, print "SKIP: reason" where that
# is not at hand.
#
# usage: bash save_safety.sh PATH_OF_QUILLOW_CLI
. "$(dirname "$0")/script_prelude.sh" "$@"
now_ms() { date +%s%3N; }
# A second user's files need folders that user can reach.
chmod 755 "$work"

printf 'a\nb\na\nc\n' > "$work/in.txt"

# as_nobody CMD...: runs CMD as user nobody (root only); 77 elsewhere.
as_nobody() {
    [ "$(id -u)" -eq 0 ] && command -v setpriv > /dev/null || return 77
    setpriv --reuid=65534 --regid=65534 --clear-groups "$@"
}
have_strace() { command -v strace > /dev/null && strace -qq -o /dev/null -e trace=none true 2> /dev/null; }
# wait_in_syscall PID NR: waits (up to 30 s: the machine may be busy) until
# a thread of PID is in system call NR (held there by strace).
wait_in_syscall() {
    for _ in $(seq 1 600); do
        grep -qs "^$2 " /proc/"$1"/task/*/syscall && return 0
        sleep 0.05
    done
    return 1
}
# took_at_most NAME MS START: the stop came within MS of START.
took_at_most() { [ $(($(now_ms) - $3)) -le "$2" ] || fail "$1: the stop took $(($(now_ms) - $3)) ms"; }

# Each case runs the program with stderr in $err and its status in $status;
# it sets $target (a file) and $want (the bytes it must hold), or leaves
# $target empty when no file is at stake; "skip" in $status skips the row.

shared_link_refused() {
    mkdir -m 1777 "$work/shared"
    echo "victim" > "$work/victim.conf"
    as_nobody ln -s "$work/victim.conf" "$work/shared/report.txt" || { status=skip; return; }
    "$cli" "$work/in.txt" -o "$work/shared/report.txt" 2> "$err"
    status=$?
    target=$work/victim.conf want=$'victim\n'
}

own_link_followed() {
    mkdir "$work/home" "$work/repo"
    cp "$work/in.txt" "$work/home/.bashrc"
    ln -s "$work/home/.bashrc" "$work/repo/.bashrc"
    "$cli" "$work/repo/.bashrc" -o "$work/repo/.bashrc" 2> "$err"
    status=$?
    [ -L "$work/repo/.bashrc" ] || fail "own_link_followed: the link was replaced"
    target=$work/home/.bashrc want=$'a\nb\nc\n'
}

dev_stdout_appended() {
    echo "earlier" > "$work/log.txt"
    "$cli" "$work/in.txt" -o /dev/stdout >> "$work/log.txt" 2> "$err"
    status=$?
    target=$work/log.txt want=$'earlier\na\nb\nc\n'
}

dev_stdout_pipe() {
    "$cli" "$work/in.txt" -o /dev/stdout 2> "$err" | cat > "$work/piped.txt"
    status=${PIPESTATUS[0]}
    target=$work/piped.txt want=$'a\nb\nc\n'
}

fifo_output() {
    mkfifo "$work/fifo"
    cat "$work/fifo" > "$work/from-fifo.txt" &
    # A FIFO nobody reads yet is refused (ENXIO): the reader first waits in
    # its open for a writer (where it already counts as a reader) or has it open.
    local reader=$! tries=0
    until [ "$(cat /proc/"$reader"/wchan 2> /dev/null)" = wait_for_partner ] ||
        readlink /proc/"$reader"/fd/* 2> /dev/null | grep -qx "$work/fifo" || ((++tries > 200)); do
        sleep 0.05
    done
    "$cli" "$work/in.txt" -o "$work/fifo" 2> "$err"
    status=$?
    wait
    [ -p "$work/fifo" ] || fail "fifo_output: the FIFO was replaced"
    target=$work/from-fifo.txt want=$'a\nb\nc\n'
}

# 64 MiB: a second of slow lines under (a|aa)+$, then plain ones. The file
# shrinks while the slow lines are compared; the scan then meets the pages
# it lost.
shrink() {
    local name=$1 size=$2 file=$work/$1.txt
    {
        awk 'BEGIN { for (i = 0; i < 2000; i++) printf "aaaaaaaaaaaaaaaaaaaab%d\n", i }'
        head -c 67108864 /dev/zero | tr '\0' 'x' | fold -w 63
    } > "$file"
    "$cli" --count --regex='(a|aa)+$' "$file" > /dev/null 2> "$err" &
    local pid=$!
    for _ in $(seq 1 100); do
        grep -qs "$file" /proc/"$pid"/maps && break
        sleep 0.02
    done
    sleep 0.2
    truncate -s "$size" "$file"
    wait "$pid"
    status=$?
    target=
}
shrink_to_nothing() { shrink shrunk-large 0; }
shrink_a_little() { shrink shrunk-small 60M; }

# The file shrinks once scanned, while the first write of the output waits
# (strace holds it): no NUL byte may reach the output.
shrink_before_output() {
    local name=$1 file=$work/$1.txt
    shift
    have_strace || { status=skip; return; }
    awk 'BEGIN { for (i = 0; i < 300000; i++) printf "line number %d of the file\n", i % 100000 }' > "$file"
    strace -qq -o /dev/null -e trace=write -e inject=write:delay_enter=3000000:when=1 \
        "$cli" "$@" "$file" > "$work/$name.out" 2> "$err" &
    local tracer=$!
    local pid
    pid=$(started "$tracer")
    wait_in_syscall "$pid" 1 || fail "$name: the output never began"
    truncate -s 1M "$file"
    wait "$tracer"
    status=$?
    if tr -d '\n' < "$work/$name.out" | grep -qaP '\x00'; then
        fail "$name: NUL bytes reached the output"
    fi
    target=
}
list_after_shrink() { shrink_before_output shrunk-list --list; }
count_after_shrink() { shrink_before_output shrunk-count --count; }
stdout_after_shrink() { shrink_before_output shrunk-stdout -o -; }

# stop_slow_save NAME FILE DELAY: saves FILE under (a|aa)+$, asks it to
# stop after DELAY seconds, and holds the stop to 2 s.
stop_slow_save() {
    "$cli" "$2" -o "$2.out" --regex='(a|aa)+$' 2> "$err" &
    local pid=$!
    sleep "$3"
    local start
    start=$(now_ms)
    kill -TERM "$pid"
    wait "$pid"
    status=$?
    took_at_most "$1" 2000 "$start"
    [ ! -e "$2.out" ] || fail "$1: an output was written"
    target=
}

# Six lines of about a second each; the stop comes at 1 s.
slow_lines_stop() {
    awk 'BEGIN { s = ""; for (i = 0; i < 2000; i++) s = s "aaaaaaaaaaaaaaaaaaaab"; for (i = 0; i < 6; i++) print s (i % 3) }' \
        > "$work/slow6.txt"
    stop_slow_save slow_lines_stop "$work/slow6.txt" 1
}

# One line of half a minute: the stop comes between its match attempts.
long_line_stop() {
    awk 'BEGIN { s = ""; for (i = 0; i < 60000; i++) s = s "aaaaaaaaaaaaaaaaaaaab"; print s; print s }' > "$work/long.txt"
    stop_slow_save long_line_stop "$work/long.txt" 0.5
}

# stop_held NAME SYSCALL NR INJECT FILE: saves into FILE (holding "older")
# while strace holds SYSCALL (number NR) as INJECT says, and stops it there.
stop_held() {
    have_strace || { status=skip; return; }
    echo "older" > "$5"
    strace -f -qq -o /dev/null -e trace="$2" -e inject="$2:$4" "$cli" "$work/in.txt" -o "$5" 2> "$err" &
    local tracer=$!
    local pid
    pid=$(started "$tracer")
    wait_in_syscall "$pid" "$3" || fail "$1: no $2 seen"
    kill -TERM "$pid"
    wait "$tracer"
    status=$?
    target=$5
}

# The file's fsync takes 4 s; the stop comes meanwhile: no rename.
stop_during_fsync() {
    stop_held stop_during_fsync fsync 74 delay_enter=4000000:when=1 "$work/synced.txt"
    want=$'older\n'
}

# The stop comes once the rename is done (its return is held).
stop_after_rename() {
    stop_held stop_after_rename renameat 264 delay_exit=3000000 "$work/renamed.txt"
    want=$'a\nb\nc\n'
}

# A folder that may be written and searched but not read cannot be opened
# to be flushed: the file is in place all the same.
folder_not_flushed() {
    mkdir "$work/wx"
    local run=("$cli" "$work/in.txt" -o "$work/wx/out.txt")
    if [ "$(id -u)" -eq 0 ]; then
        chown 65534 "$work/wx"
        chmod 300 "$work/wx"
        as_nobody "${run[@]}" 2> "$err"
        status=$?
    else
        chmod 300 "$work/wx"
        "${run[@]}" 2> "$err"
        status=$?
    fi
    chmod 700 "$work/wx"
    target=$work/wx/out.txt want=$'a\nb\nc\n'
}

stored() {
    mkdir -p "$XDG_CONFIG_HOME/Orvandel"
    printf '[Quillow]\n%s\n' "$1" > "$XDG_CONFIG_HOME/Orvandel/Quillow.conf"
}
bad_stored_pattern() {
    stored 'sRegExp=x('
    "$cli" --use-settings "$work/in.txt" -o "$work/bad1.out" 2> "$err"
    status=$?
    [ ! -e "$work/bad1.out" ] || fail "bad_stored_pattern: an output was written"
    target=
}
bad_stored_pattern_slash() {
    stored 'sRegExp=x('
    (cd "$work" && "$cli" /i in.txt /o bad2.out /s 2 2> "$err")
    status=$?
    [ ! -e "$work/bad2.out" ] || fail "bad_stored_pattern_slash: an output was written"
    target=
}
bad_stored_encoding() {
    stored 'textEncoding=no-such-encoding'
    "$cli" --use-settings --list "$work/in.txt" > /dev/null 2> "$err"
    status=$?
    rm -f "$XDG_CONFIG_HOME/Orvandel/Quillow.conf"
    target=
}

# /proc files tell a size of 0 and hold lines all the same.
proc_file() {
    "$cli" --count /proc/cpuinfo > "$work/cpuinfo.count" 2> "$err"
    status=$?
    [ "$status" -le 1 ] && ! grep -q "文件为空" "$err" || fail "proc_file: status $status: $(tail -1 "$err")"
    target=
}

protected_target_keeps_mode() {
    mkdir "$work/ro"
    echo "older" > "$work/ro/t.txt"
    chmod 444 "$work/ro/t.txt"
    if [ "$(id -u)" -eq 0 ]; then
        chown -R 65534 "$work/ro"
        (cd "$work" && as_nobody "$cli" /i in.txt /o ro/t.txt /s 2 2> "$err")
    else
        (cd "$work" && "$cli" /i in.txt /o ro/t.txt /s 2 2> "$err")
    fi
    status=$?
    [ "$(stat -c %a "$work/ro/t.txt")" = 444 ] || fail "protected_target_keeps_mode: mode $(stat -c %a "$work/ro/t.txt")"
    target=$work/ro/t.txt want=$'a\nb\nc\n'
}

# /x glued to "nothere": the output is cut to $work/nothere, and said so.
slash_cut_warning() {
    (cd "$work" && "$cli" /i in.txt /o "$work/nothere/x" /s 2 2> "$err")
    status=$?
    grep -qF "警告: 斜杠开关截断了路径 $work/nothere/x" "$err" || fail "slash_cut_warning: no warning"
    target=$work/nothere want=$'a\nb\nc\n'
}

symlink_loop() {
    ln -s loop "$work/loop"
    "$cli" "$work/in.txt" -o "$work/loop" 2> "$err"
    status=$?
    target=
}

# case | status | stderr's last line ({w}: the work folder; (none): nothing said)
rows='
shared_link_refused         | 3   | quillow-cli: {w}/shared/report.txt: 共享文件夹中属于他人的符号链接，不跟随
own_link_followed           | 0   | (none)
dev_stdout_appended         | 0   | (none)
dev_stdout_pipe             | 0   | (none)
fifo_output                 | 0   | (none)
shrink_to_nothing           | 2   | quillow-cli: {w}/shrunk-large.txt: 文件在读取时被更改
shrink_a_little             | 2   | quillow-cli: {w}/shrunk-small.txt: 文件在读取时被更改
list_after_shrink           | 2   | quillow-cli: {w}/shrunk-list.txt: 文件在读取时被更改
count_after_shrink          | 2   | quillow-cli: {w}/shrunk-count.txt: 文件在读取时被更改
stdout_after_shrink         | 2   | quillow-cli: {w}/shrunk-stdout.txt: 文件在读取时被更改
slow_lines_stop             | 130 | quillow-cli: 已中断
long_line_stop              | 130 | quillow-cli: 已中断
stop_during_fsync           | 130 | quillow-cli: 已中断
stop_after_rename           | 0   | quillow-cli: 已写入；写完后停止
folder_not_flushed          | 4   | quillow-cli: {w}/wx/out.txt: 已写入，但无法把所在文件夹写入磁盘: Permission denied
bad_stored_pattern          | 2   | quillow-cli: 设置文件 {w}/config/Orvandel/Quillow.conf 中的 sRegExp 无效: missing closing parenthesis at offset 2
bad_stored_pattern_slash    | 2   | quillow-cli: 设置文件 {w}/config/Orvandel/Quillow.conf 中的 sRegExp 无效: missing closing parenthesis at offset 2
bad_stored_encoding         | 2   | quillow-cli: 设置文件 {w}/config/Orvandel/Quillow.conf 中的 textEncoding 无效: 未知的文本编码：no-such-encoding
proc_file                   | any | any
protected_target_keeps_mode | 0   | 完成保存！
slash_cut_warning           | 0   | 完成保存！
symlink_loop                | 3   | quillow-cli: {w}/loop: Too many levels of symbolic links
'
err=$work/err
while IFS='|' read -r name expected last; do
    name=$(echo "$name" | xargs)
    [ -n "$name" ] || continue
    expected=$(echo "$expected" | xargs)
    last=$(echo "$last" | sed 's/^ *//; s/ *$//')
    last=${last//\{w\}/$work}
    [ "$last" != "(none)" ] || last=
    : > "$err"
    status= target= want=
    "$name"
    if [ "$status" = skip ]; then
        echo "SKIP: $name (needs strace, or root for a second user)"
        continue
    fi
    before=$failures
    [ "$expected" = any ] || [ "$status" = "$expected" ] || fail "$name: exit status $status, expected $expected"
    got=$(grep -v '^strace: ' "$err" | tail -1)  # strace's own warnings share stderr
    [ "$last" = any ] || [ "$got" = "$last" ] || fail "$name: the last line is: $got"
    if [ -n "$target" ] && [ "$(cat "$target" 2> /dev/null; echo .)" != "$want." ]; then
        fail "$name: $target holds: $(head -c 200 "$target" 2> /dev/null)"
    fi
    left=$(find "$work" -name '*.quillowtemp' | tr '\n' ' ')
    [ -z "$left" ] || fail "$name: left $left"
    [ "$failures" -ne "$before" ] || echo "ok: $name"
done <<< "$rows"
finish
