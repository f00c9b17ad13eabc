#pragma once
// How lines are compared and written: the options every scan and save
// works by. The settings store keeps them between runs (app/settings).
#include <cstdint>
#include <string>

namespace quillow {

// How lines are compared and written.
struct Options {
    bool caseSensitive = false;    // lines differing only in letter case differ
    bool trimLines = false;        // blanks at both ends are ignored when comparing
    int16_t startPos = 0;          // leading characters comparison ignores
    std::string filterPattern;     // regular expression; empty: no filter
    int16_t filterMatch = 0;       // which match is the key: -1 the last, 0 all joined, n the n-th
    bool saveEmptyLines = true;    // empty lines are written
    bool saveApplyFilter = false;  // lines are written the way they are compared
    bool preserveMemory = false;   // the line texts are freed after scanning a big file
    std::string textEncoding = "auto";  // the files' encoding: "auto" lets each file decide, else an ICU name
    bool compatForms = false;      // compatibility forms (full/half width, ligatures) compare alike (NFKC)
    std::string maxMemory = "auto";  // the memory a scan may use ("2G"); "auto": what the machine has available
    // The command line's own rules (no stored setting keeps them).
    int64_t keyField = 0;        // only this field (1-based) is compared; 0: the whole line
    std::string fieldSeparator;  // one character that ends fields; empty: runs of blanks separate them
    int64_t skipFields = 0;      // leading fields comparison ignores
    int64_t checkChars = -1;     // at most this many characters are compared; -1: all
    bool zeroTerminated = false; // NUL ends a line (CR and LF are text)
};

}  // namespace quillow
