#pragma once
// What the user reads of the scanned file: its lines and the duplicates
// list's keys as UTF-8, for the lists, the viewer, the clipboard and --list.
// A file read as UTF-8 is shown as its bytes (invalid ones included; the
// views replace them); lines in any other encoding are decoded, and a byte
// that is invalid there shows as U+FFFD.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/dedup/dups_list.h"
#include "engine/text/line_decoder.h"

namespace quillow {

// Decoded text (UTF-8 with escapes) as the user sees it: each escape, an
// invalid byte of the file, as U+FFFD.
std::string shownDecodedText(std::string_view decoded);

class ShownText {
public:
    explicit ShownText(const Encoding& encoding);
    ShownText(const ShownText& other) = default;

    bool asIs() const { return asIs_; }
    // A line of the file (its bytes, without its end). Views line or scratch.
    std::string_view line(std::string_view bytes, std::string& scratch);
    // The key of entry index. Views the list or scratch.
    std::string_view key(const DupsList& list, int64_t index, std::string& scratch);
    // The entry as the list shows it: "[" + line number + "]   " + key.
    std::string entry(const DupsList& list, int64_t index);

private:
    bool asIs_;
    LineDecoder decoder_;
};

}  // namespace quillow
