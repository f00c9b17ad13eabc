#pragma once
// The options dialog's filter tryout: asks for a line (or line=N, a line of the
// scanned file) and shows the key the dialog's current settings give for it,
// or that the filter failed.
#include <string>

#include "app/front_end.h"
#include "engine/dedup/scan_result.h"

namespace quillow {

// The dialog's values as they stand, not yet applied to the options.
struct FilterDialogValues {
    bool caseChecked = false;
    bool trimChecked = false;
    std::string startPosText = "0";
    std::string pattern;
    std::string matchText = "0";
};

// lastText is the text last tested (offered again, and replaced by the new one).
void tryFilter(std::string& lastText, const ScanResult& scan, FrontEnd& host, const FilterDialogValues& values);

}  // namespace quillow
