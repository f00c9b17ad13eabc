#pragma once
// The GNU-style run, which writes as uniq and sort do: INPUT (any readable
// file, standard input, or several files joined) to OUTPUT or standard
// output, the lines the request asks for; the input passed on unchanged
// when there is nothing to drop (a file given in place then stays as it
// is). Failures name the file and the reason.
#include "app/command_line/command_line.h"
#include "app/session.h"
#include "app/unattended_run.h"

namespace quillow {

RunOutcome runLineTool(Session& session, const RunRequest& request, RunFailure& failure);

}  // namespace quillow
