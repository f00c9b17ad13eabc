#pragma once
// The save behind Save: checks that the source is unchanged and that
// something is selected, settles the target, then hands over to the writer.
#include <string>

#include "engine/io/cleaned_file_writer.h"

namespace quillow {

// In an unattended run the target is unattendedTarget and nothing is asked;
// otherwise the save dialog gives it. SourceUnreadable or SourceChanged when
// the source is gone or changed since the scan (a message box says so, or
// in an unattended run the status); NotStarted when another check or a
// question ended the save before writing began.
WriteResult runSave(Settings& settings, ScanResult& result, RunFlags& flags, Host& host,
                    const SaveTarget& unattendedTarget = {});

}  // namespace quillow
