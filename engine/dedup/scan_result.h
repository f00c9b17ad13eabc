#pragma once
// What a scan leaves: the file it read, how it compared, and the two lists
// the views, the selection, the copy and the save work on.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/dedup/dups_list.h"
#include "engine/io/file_info.h"
#include "engine/text/line_splitter.h"
#include "engine/io/source_lines.h"
#include "engine/text/text_encoding.h"

namespace quillow {

// Files with this many lines or more are big files: the line texts may be
// freed after the scan (Options::preserveMemory).
inline constexpr int64_t kBigFileLines = 32768;

class SpillFile;

struct ScanResult {
    std::string file;       // the file the lines came from; empty: nothing to save from
    // Read from standard input: there is no file to check, and the lines
    // exist only in source (or in spooledInput, which file then names).
    bool fromStream = false;
    FileIdentity identity;  // the file as the scan read it; the save writes only from that
    // A fingerprint of the bytes read, kept when the line texts are freed
    // (memoryPreserved): the save then reads the file again and checks it.
    uint64_t contentHash = 0;
    bool caseSensitive = false;  // how the keys were compared
    bool trimLines = false;
    bool compatForms = false;
    // How the file was read: its encoding and byte-order mark (written back
    // first), and how its lines end (decides the ends written).
    SourceEncoding encoding;
    LineEndMode lineEndMode = LineEndMode::Lf;
    bool bigFile = false;
    bool memoryPreserved = false;  // the line texts were freed: no viewer, no source copies
    // The file did not fit in memory: it was scanned through a temporary
    // file, and its lines are read from it when shown (source->onDisk()).
    bool onDisk = false;
    // A stream that did not fit in memory, copied into a temporary file
    // that file names while this holds it.
    std::shared_ptr<SpillFile> spooledInput;
    int64_t lineCount = 0;
    int64_t groupCount = 0;  // keys found at least twice
    std::shared_ptr<SourceLines> source;
    std::shared_ptr<DupsList> dups;
    bool ready = false;  // a completed scan found duplicates: they can be selected and saved
};

}  // namespace quillow
