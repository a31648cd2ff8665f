#!/usr/bin/env bash
# kestrum-run under a hostile user: documents that are no files, output nobody can take, the
# file-size and memory limits, Ctrl+C during a long sound and during a write that never ends, the
# other signals that end a program, scripts too large to load, and output without end.
# Usage: hostile_run_test.sh KESTRUM_RUN SANITIZED(0|1)
set -u
run=$1 sanitized=${2:-0}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_status() {  # what expected actual
  [ "$2" = "$3" ] || fail "$1: status $3, expected $2"
}
# Waits (at most 10 s) until FILE holds TEXT.
wait_for() {
  for _ in $(seq 200); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.05; done
  return 1
}
# Sends SIGNAL to PID (again every 0.2 s when repeat is set) until it ends; its status. A process
# still there after 10 s is killed (status 137).
send_until_ended() {  # signal pid repeat
  kill -"$1" "$2"
  for _ in $(seq 50); do
    kill -0 "$2" 2>/dev/null || break
    sleep 0.2
    [ "$3" = 1 ] && kill -"$1" "$2" 2>/dev/null
  done
  kill -KILL "$2" 2>/dev/null
  wait "$2"
}
interrupt() {  # pid repeat: Ctrl+C
  send_until_ended INT "$1" "$2"
}

# Asking for help is no bad usage: the usage on stdout, status 0.
help=$("$run" --help 2>&1); expect_status "--help" 0 $?
case "$help" in "usage: kestrum-run "*"--select-file PATH"*) ;; *) fail "--help printed: $help" ;; esac

# Only a regular file is a script document.
printf 'Println 1' > ok.lsc
for doc in "$work" /dev/zero; do
  "$run" "$doc" > /dev/null 2>&1; expect_status "run $doc" 2 $?
  "$run" --check "$doc" > /dev/null 2>&1; expect_status "check $doc" 2 $?
done

# An RTF document after a UTF-8 byte order mark is RTF.
printf '\xEF\xBB\xBF{\\rtf1\\ansi Println 1\\par}' > bom.lsc
[ "$("$run" bom.lsc 2>/dev/null)" = 1 ] || fail "an RTF document after a byte order mark was not read as RTF"

# Output that stdout cannot take fails the run.
"$run" ok.lsc > /dev/full 2>/dev/null; expect_status "stdout full" 1 $?
"$run" --pane ok.lsc > /dev/full 2>/dev/null; expect_status "pane to a full stdout" 1 $?

# A NUL in printed text is streamed like any other byte.
printf 'a\0b' > nul.bin
printf 'File f : FileOpen "nul.bin" For Reading Binary In f : Println FileReadString(9, f) + "end"' > nul.lsc
[ "$("$run" nul.lsc | od -An -c | tr -s ' ')" = " a \0 b e n d \n" ] || fail "a NUL cut the streamed output"

# The file-size limit: a failed save keeps the good file; a refused write ends the run.
printf 'Matrix m[20][20] : m[1][1] = 1 : SaveObject m In "good.obj" : WriteMatrix m In "good.txt"' > save.lsc
"$run" save.lsc > /dev/null || fail "the first save failed"
cp good.obj good.obj.before; cp good.txt good.txt.before
sed -i 's/20/200/g' save.lsc
(ulimit -f 1; "$run" --pane save.lsc > save.out 2>/dev/null); expect_status "save over the size limit" 1 $?
grep -q "Cannot write file." save.out || fail "a cut save is not reported as a write failure"
cmp -s good.obj good.obj.before || fail "a failed SaveObject destroyed the good file"
printf 'String s : s = "0123456789" : s = s + s + s + s + s + s + s + s + s + s : s = s + s + s + s + s
  File f : FileOpen "big.txt" For Writing Text In f : Integer i
  For i = 1 To 50 : FileWriteString(s, f) : Next' > big.lsc
(ulimit -f 8; "$run" --pane big.lsc > big.out 2>/dev/null); expect_status "write over the size limit" 1 $?
grep -q "Cannot write file." big.out || fail "a write cut by the size limit is not reported"

# Exhausted memory ends the run cleanly: end line, status 1, the files flushed. The sanitizers
# reserve more address space than any such limit allows.
if [ "$sanitized" != 1 ]; then
  printf 'File f : FileOpen "kept.txt" For Writing Text In f : FileWriteString("kept", f)
    String s : s = "0123456789abcdef" : Integer i : For i = 1 To 40 : s = s + s : Next' > memory.lsc
  (ulimit -v 1000000; "$run" --pane memory.lsc > memory.out 2>/dev/null); expect_status "out of memory" 1 $?
  grep -q "Program Terminated  By ERROR." memory.out || fail "no end line after exhausted memory"
  [ "$(cat kept.txt 2>/dev/null)" = kept ] || fail "a file was lost with the memory"
fi

# Ctrl+C ends a sound the script waits for (this one claims an hour: one byte a second).
{ printf 'RIFF\x30\x0e\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x01\x00\x00\x00\x01\x00\x00\x00\x01\x00\x08\x00'
  printf 'data\x10\x0e\x00\x00'; head -c 3600 /dev/zero; } > hour.wav
printf 'Println "ready" : PlayWave "hour.wav", WAIT : Println "after"' > wave.lsc
"$run" wave.lsc > wave.out 2>/dev/null &
pid=$!
wait_for wave.out ready || fail "the sound script did not start"
interrupt "$pid" 0; expect_status "stopped sound" 130 $?
grep -q after wave.out && fail "the run went on after the stop"
grep -q "Program Terminated  By User." wave.out || fail "no stop line after the sound"

# The second Ctrl+C ends a run stuck where no stop reaches (opening a pipe nobody reads) and
# still flushes what the script wrote.
mkfifo stuck.fifo
printf 'File f : FileOpen "data.txt" For Writing Text In f : FileWriteString("data", f)
  Println "ready" : File g : FileOpen "stuck.fifo" For Writing Text In g' > stuck.lsc
"$run" stuck.lsc > stuck.out 2>/dev/null &
pid=$!
wait_for stuck.out ready || fail "the stuck script did not start"
interrupt "$pid" 1; expect_status "second Ctrl+C" 130 $?
[ "$(cat data.txt 2>/dev/null)" = data ] || fail "the second Ctrl+C lost the script's file"

# The signals that end a console program stop the run as Ctrl+C does: the script's files are
# flushed and closed, the run ends with the stop line and a status that names the signal.
printf 'File f : FileOpen "kept.txt" For Writing Text In f : FileWriteString("kept", f)
  Println "ready" : Integer i
  While 1 : i = i + 1 : Wend' > endless.lsc
for case in INT:130 TERM:143 HUP:129; do
  signal=${case%:*}
  rm -f kept.txt signal.out  # the last case's "ready" is no start
  "$run" endless.lsc > signal.out 2>/dev/null &
  pid=$!
  wait_for signal.out ready || fail "$signal: the endless script did not start"
  send_until_ended "$signal" "$pid" 0; expect_status "stopped by SIG$signal" "${case#*:}" $?
  [ "$(cat kept.txt 2>/dev/null)" = kept ] || fail "SIG$signal lost the script's file"
  [ "$(tail -n 1 signal.out)" = "Program Terminated  By User." ] || fail "SIG$signal: no stop line"
done
# A program a script opens starts with no signal blocked: Ctrl+C and SIGTERM reach it; nor does it
# inherit the host's ignoring of SIGXFSZ: a write past its file-size limit ends it as usual.
mkdir opener
printf '#!/bin/bash\nexec grep -E "^Sig(Blk|Ign)" /proc/self/status > "%s/opened.txt"\n' "$work" > opener/xdg-open
chmod +x opener/xdg-open
printf 'Execute "x.txt"' > open.lsc
KESTRUM_OPEN_WITH_DESKTOP=1 PATH="$work/opener:$PATH" "$run" open.lsc > /dev/null 2>&1
for _ in $(seq 50); do [ -s opened.txt ] && break; sleep 0.1; done
grep -q "^SigBlk:[[:space:]]*0*$" opened.txt 2>/dev/null || fail "an opened program starts with $(cat opened.txt 2>/dev/null)"
ignored=$(awk '/^SigIgn:/ { print $2 }' opened.txt 2>/dev/null)
(( (16#${ignored:-0} >> (25 - 1)) & 1 )) && fail "an opened program starts with SIGXFSZ ignored ($ignored)"
printf 'File f : FileOpen "log.txt" For Writing Text In f : Integer i
  While 1
    i = i + 1 : FileWriteString("line " + i + ";", f) : Println "line " + i
  Wend' > endless_log.lsc
# A closed stdout stops the run: the output could not be written (status 1), and the file is kept
# with everything the script wrote before.
rm -f log.txt
"$run" endless_log.lsc 2> pipe.err | head -n 3 > /dev/null
expect_status "stdout closed" 1 "${PIPESTATUS[0]}"
grep -q "^line 1;line 2;" log.txt 2>/dev/null || fail "a closed stdout lost the script's file"
[ "$(tail -c 1 log.txt 2>/dev/null)" = ";" ] || fail "a closed stdout cut the script's file"
grep -q "the output could not be written" pipe.err || fail "a closed stdout was not reported"

# A script file too large to run is refused before it is read; memory that runs out while loading
# one within the limit is reported. A run that cannot have its thread's stack says why.
limit=$((256 * 1024 * 1024))
if [ "$sanitized" != 1 ]; then
  truncate -s $((limit + 1)) over.lsc
  truncate -s 2G huge.lsc
  for doc in over.lsc huge.lsc; do
    (ulimit -v 1000000; "$run" --check "$doc" > /dev/null 2> size.err); expect_status "$doc" 2 $?
    grep -q "cannot read $doc: larger than $limit bytes" size.err || fail "$doc: $(cat size.err)"
  done
  truncate -s "$limit" limit.lsc
  (ulimit -v 400000; "$run" --check limit.lsc > /dev/null 2> size.err); expect_status "loading without memory" 2 $?
  grep -q "not enough memory" size.err || fail "exhausted memory while loading: $(cat size.err)"
  (ulimit -v 100000; "$run" ok.lsc > /dev/null 2> stack.err); expect_status "no room for the stack" 1 $?
  grep -q "its thread needs [0-9]* MiB of address space for its stack" stack.err || fail "no stack, no reason: $(cat stack.err)"
fi

# Streamed output is not kept: far more output than memory runs to its end. --pane keeps the
# newest million lines.
if [ "$sanitized" != 1 ]; then
  printf 'String s : s = "0123456789" : Integer i
    For i = 1 To 3 : s = s + s + s + s + s + s + s + s + s + s : Next
    For i = 1 To 40000 : Println s : Next' > output.lsc
  lines=$(ulimit -v 600000; "$run" output.lsc 2>/dev/null | wc -l; exit "${PIPESTATUS[0]}")
  expect_status "400 MB streamed" 0 $?
  [ "$lines" = 40000 ] || fail "400 MB streamed: $lines lines"
fi
printf 'Integer i : For i = 1 To 1000100 : Println i : Next' > lines.lsc
"$run" --pane lines.lsc > lines.out; expect_status "a million lines" 0 $?
[ "$(wc -l < lines.out)" = 1000000 ] && [ "$(head -n 1 lines.out)" = $'101\r' ] &&
  [ "$(tail -n 1 lines.out)" = $'1000100\r' ] || fail "--pane kept $(wc -l < lines.out) lines from $(head -n 1 lines.out)"

exit $((failures > 0))
