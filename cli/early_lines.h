#pragma once
// In a pipeline, a default run (the first of each line, compared exactly)
// writes each new line as soon as it is read, while the input is plain
// ASCII, so that "… | quillow-cli | head -1" ends at once instead of after
// the whole input. The run itself goes on unchanged: every byte reaches it
// through a pipe that becomes its standard input, and its output reaches
// the real standard output less the bytes already written.
#include "app/command_line/command_line.h"

namespace quillow {

// How the pass ends the run itself; neither returns.
struct EarlyLinesEnds {
    void (*closedPipe)();            // the reader of standard output went away
    void (*inputFailed)(int error);  // reading standard input failed
};

// Starts the pass for a default run from a pipe or socket to a pipe or
// socket; otherwise false, and nothing changed.
bool startEarlyLines(const CommandLine& command, EarlyLinesEnds ends);

// After the run closed its standard output: waits until all of it is
// passed on. 0, the errno of a failed write to the real standard output,
// or -1 when an interrupt came first.
int finishEarlyLines();

}  // namespace quillow
