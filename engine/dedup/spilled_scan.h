#pragma once
// The scan of a file whose bytes and index would not fit in the memory it
// may use, the way sort spills: one pass settles the encoding and how lines
// end; a second reads the lines, files each key with its line and where its
// text lies under the top bits of its hash in partitions of a temporary file
// (spill_file.h); then each partition is grouped in turn, in memory. Every
// key falls in one partition and each partition keeps line order, so the
// groups, their order and the entries are those of a scan in memory. The
// lines stay in the file: the source list reads them from there.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/dedup/dups_list.h"
#include "engine/io/file_info.h"
#include "engine/io/source_lines.h"
#include "engine/options.h"
#include "engine/text/line_splitter.h"
#include "engine/text/text_encoding.h"
#include "engine/runtime/work.h"

namespace quillow {

struct SpilledScanResult {
    FileIdentity identity;  // the file as it was opened
    SourceEncoding encoding;
    LineEndMode mode = LineEndMode::Lf;
    int64_t lines = 0;
    int64_t groups = 0;
    uint64_t contentHash = 0;  // of every byte read (content_hash.h)
    std::shared_ptr<SourceLines> source;
    std::shared_ptr<DupsList> dups;  // not yet sorted
};

// Scans path within about memory bytes, reporting progress (loading, then
// finding) to work. False when work was stopped. Throws ReadError (the
// file), SpillError (the temporary file), EncodingRefusal or std::bad_alloc.
bool runSpilledScan(const std::string& path, const Options& options, int64_t memory, Work& work,
                    SpilledScanResult& out);

}  // namespace quillow
