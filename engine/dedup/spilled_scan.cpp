#include "engine/dedup/spilled_scan.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <vector>

#include "engine/io/content_hash.h"
#include "engine/dedup/hash_partitions.h"
#include "engine/dedup/key_hash.h"
#include "engine/dedup/keys.h"
#include "engine/io/line_file.h"
#include "engine/io/line_reader.h"
#include "engine/io/read_whole_file.h"
#include "engine/io/spill_file.h"
#include "engine/text/text_util.h"
#include "engine/runtime/two_cores.h"

namespace quillow {

namespace {

// The file is read in blocks of this size (a multiple of every code unit).
constexpr size_t kBlock = size_t{4} << 20;
// Keys and their records take about this much beside the file's bytes.
constexpr int64_t kRecordBytesPerLine = 32;
constexpr int kMaxPartitionBits = 12;
constexpr int64_t kLinesPerPartition = 8192;
constexpr int64_t kSmallBuffer = 32 << 10;
// Below this many lines a second thread costs more than it saves.
constexpr int64_t kTwoCoresFromLines = 1 << 16;

// A key as filed: the low bits of its hash (the top ones chose its
// partition), its line, where its text lies in the file (or, with kKeyText,
// that the text follows), and the length of the bytes it is compared by,
// which follow the header. When the key is not those bytes themselves (they
// are a form made from it, or the filter joined it), kOwnKey marks that its
// own length follows them, and then, with kKeyText, its text.
#pragma pack(push, 4)
struct RecordHeader {
    uint32_t hash;
    uint32_t line;
    uint64_t keyOffset;
    uint32_t compareLength;
};
#pragma pack(pop)
constexpr uint32_t kOwnKey = uint32_t{1} << 31;
constexpr uint64_t kKeyText = uint64_t{1} << 63;

// A record as read back: its header, the bytes it is compared by, its key's
// length and (with kKeyText) text, and where the next record starts.
struct Record {
    RecordHeader header;
    std::string_view compared;
    uint32_t keyLength;
    std::string_view keyText;
    size_t end;

    static Record at(std::string_view chunk, size_t at)
    {
        Record r;
        std::memcpy(&r.header, chunk.data() + at, sizeof r.header);
        at += sizeof r.header;
        r.keyLength = r.header.compareLength & ~kOwnKey;
        r.compared = chunk.substr(at, r.keyLength);
        at += r.keyLength;
        if (r.header.compareLength & kOwnKey) {
            std::memcpy(&r.keyLength, chunk.data() + at, 4);
            at += 4;
            if (r.header.keyOffset == kKeyText) {
                r.keyText = chunk.substr(at, r.keyLength);
                at += r.keyLength;
            }
        }
        r.end = at;
        return r;
    }
};

// Whether a text read in pieces is UTF-8, and where its first byte that is
// not: a sequence cut by the end of a piece waits for the next.
class Utf8Check {
public:
    void add(std::string_view piece, bool last)
    {
        if (invalidAt_ >= 0)
            return;
        if (!carry_.empty()) {
            // The cut sequence, finished with the first bytes of the piece.
            const size_t length = sequenceLength(carry_[0]);
            const size_t taken = std::min(piece.size(), length - carry_.size());
            carry_.append(piece.substr(0, taken));
            piece.remove_prefix(taken);
            if (carry_.size() < length && !last)
                return;
            if (!isValidUtf8(carry_)) {
                invalidAt_ = static_cast<int64_t>(offset_);
                return;
            }
            ++multiByte_;
            offset_ += carry_.size();
            carry_.clear();
        }
        const size_t cut = last ? 0 : cutLength(piece);
        size_t bad = 0;
        if (!isValidUtf8(piece.substr(0, piece.size() - cut), &bad)) {
            invalidAt_ = static_cast<int64_t>(offset_ + bad);
            multiByte_ += multiByteCharacters(piece.substr(0, bad));
            return;
        }
        multiByte_ += multiByteCharacters(piece.substr(0, piece.size() - cut));
        offset_ += piece.size() - cut;
        carry_.assign(piece.substr(piece.size() - cut));
    }
    // The offset of the first invalid byte, or -1.
    int64_t invalidAt() const { return invalidAt_; }
    // The multi-byte characters before it.
    int64_t multiByteBefore() const { return multiByte_; }

private:
    static size_t sequenceLength(char lead)
    {
        const auto c = static_cast<unsigned char>(lead);
        return c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    }
    // The bytes at the end that begin a sequence the piece does not finish.
    static size_t cutLength(std::string_view piece)
    {
        for (size_t back = 1; back <= std::min<size_t>(3, piece.size()); ++back) {
            const char c = piece[piece.size() - back];
            if ((static_cast<unsigned char>(c) & 0xC0) == 0x80)
                continue;
            return sequenceLength(c) > back ? back : 0;
        }
        return 0;
    }

    std::string carry_;
    uint64_t offset_ = 0;
    int64_t invalidAt_ = -1;
    int64_t multiByte_ = 0;
};

class SpilledScan {
public:
    SpilledScan(const Options& options, int64_t memory, Work& work, SpilledScanResult& out)
        : options_(options), memory_(memory), work_(work), out_(out)
    {
    }
    ~SpilledScan()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }

    bool run(const std::string& path)
    {
        int error = 0;
        struct stat st {};
        fd_ = openRegularFile(path, error, &st);
        if (fd_ < 0)
            throw ReadError{ReadFailure::CannotOpen, error};
        out_.identity = identityOf(st);
        size_ = static_cast<uint64_t>(st.st_size);
        readStart();
        for (;;) {
            switch (spill()) {
            case Pass::Stopped:
                return false;
            case Pass::Again:  // the encoding or the line ends were not what the start said
                continue;
            case Pass::Done:
                return group();
            }
        }
    }

private:
    enum class Pass { Done, Stopped, Again };

    // What the start of the file says: the encoding where a mark, a name, a
    // NUL pattern or an invalid byte settles it (else UTF-8 is taken until a
    // byte says otherwise), how its lines end, and about how many lines the
    // file holds.
    void readStart()
    {
        std::string start(static_cast<size_t>(std::min<uint64_t>(size_, kBlock)), '\0');
        start.resize(readFileAt(fd_, start.data(), start.size(), 0));
        work_.sink().progress(Stage::Loading, 1, 1);
        const std::string_view head = std::string_view(start).substr(0, kEncodingStart);
        std::optional<SourceEncoding> settled;
        if (isAutoEncoding(options_.textEncoding)) {
            settled = encodingFromStart(head);
            // NUL ends lines: NUL bytes say nothing of UTF-16.
            if (settled && options_.zeroTerminated && settled->evidence == EncodingEvidence::NulPattern)
                settled.reset();
        } else {
            EncodingChoice choice = chooseEncoding(options_.textEncoding, head);
            if (!choice.source)
                throw choice.refusal;
            settled = choice.source;
        }
        if (!settled) {
            Utf8Check utf8;
            utf8.add(start, start.size() == size_);
            if (utf8.invalidAt() >= 0)
                settled = detectorGuess(utf8.invalidAt(), utf8.multiByteBefore());
        }
        settled_ = settled.has_value();
        out_.encoding = settled.value_or(SourceEncoding{});
        unit_ = codeUnitOf(out_.encoding.encoding);
        const std::string_view text = std::string_view(start).substr(std::min(start.size(), out_.encoding.textStart()));
        int64_t startLines = 0;
        if (options_.zeroTerminated) {
            out_.mode = LineEndMode::Nul;
            startLines = countNulUnits(text, unit_) + 1;
        } else {
            const LineEndTally tally = tallyLineEnds(text, unit_);
            out_.mode = lineEndMode(tally);
            startLines = mostLines(tally, out_.mode);
        }
        lineEstimate_ = start.empty() ? 1
                                      : static_cast<int64_t>(static_cast<double>(size_) * static_cast<double>(startLines) /
                                                             static_cast<double>(start.size()));
    }

    uint32_t unitOf(char c) const
    {
        const size_t width = unitWidth(unit_);
        const bool bigEndian = unit_ == CodeUnit::Utf16BE || unit_ == CodeUnit::Utf32BE;
        return bigEndian ? static_cast<uint32_t>(static_cast<unsigned char>(c)) << (8 * (width - 1))
                         : static_cast<unsigned char>(c);
    }
    uint32_t unitAt(std::string_view text, size_t pos) const
    {
        uint32_t v = 0;
        std::memcpy(&v, text.data() + pos, unitWidth(unit_));
        return v;
    }

    // The detector's guess over the lines from the one holding the byte at
    // invalid on, as the scan in memory makes it; multiByteBefore UTF-8
    // characters precede that byte.
    SourceEncoding detectorGuess(int64_t invalid, int64_t multiByteBefore)
    {
        // Back to the start of the line.
        auto from = static_cast<uint64_t>(invalid);
        std::string piece;
        while (from > 0) {
            const uint64_t back = std::min<uint64_t>(from, 65536);
            piece.resize(static_cast<size_t>(back));
            piece.resize(readFileAt(fd_, piece.data(), piece.size(), from - back));
            const size_t end = piece.find_last_of("\r\n");
            if (end != std::string::npos) {
                from = from - back + end + 1;
                break;
            }
            from -= back;
        }
        // The window, and the rest of the line it ends in: every line that
        // starts in the window ends in it.
        std::string window;
        for (size_t want = kEncodingWindow;; want += 65536) {
            const size_t had = window.size();
            window.resize(want);
            window.resize(had + readFileAt(fd_, window.data() + had, want - had, from + had));
            if (window.size() < want || window.find_first_of("\r\n", kEncodingWindow - 1) != std::string::npos)
                break;
        }
        const auto inWindow = static_cast<size_t>(static_cast<uint64_t>(invalid) - from);
        return encodingOfInvalidUtf8(window, multiByteBefore - multiByteCharacters(window.substr(0, inWindow)));
    }

    // The pass that files every line's key in a partition, taking the
    // fingerprint and checking the encoding and the line ends on the way;
    // Again when they turn out other than readStart took them to be.
    Pass spill()
    {
        const std::unique_ptr<LineFilter> filter = filterFor(options_);
        if (filter)
            filter->watch([this] { return work_.check(); });
        const KeyRules rules = keyRules(options_, filter.get(), out_.encoding.encoding);
        const bool byForm = comparedByForm(rules);
        const bool wholeLines = keysAreWholeLines(rules);  // nothing to cut: the key is the line
        compareMode_ = byForm ? CompareMode::Binary : rules.mode;

        // Partitions of an eighth of the memory at most (two are grouped at
        // once, and the list takes a quarter); more of them, down
        // to a few thousand lines each, while their buffers (an eighth of the
        // memory in all) hold 32 KiB each: the table of a small partition
        // stays in the processor's cache.
        const int64_t records = static_cast<int64_t>(size_) * (byForm ? 2 : 1) + kRecordBytesPerLine * lineEstimate_;
        const int64_t share = std::max<int64_t>(memory_ / 8, int64_t{1} << 20);
        bits_ = partitionBits(records, share, kMaxPartitionBits);
        while (bits_ < kMaxPartitionBits && (lineEstimate_ >> bits_) > kLinesPerPartition &&
               ((memory_ / 8) >> (bits_ + 1)) >= kSmallBuffer)
            ++bits_;
        const size_t buffer = static_cast<size_t>(std::clamp<int64_t>((memory_ / 8) >> bits_, 4 << 10, 4 << 20));
        work_.begin(Stage::FindingOnDisk);
        // A pass read again: the partitions' writer goes before the file it writes to.
        partitions_.reset();
        file_ = std::make_unique<SpillFile>();
        partitions_ = std::make_unique<SpilledPartitions>(*file_, uint32_t{1} << bits_, buffer);

        ContentHash hash;
        LineEndTally tally;
        Utf8Check utf8;
        const size_t width = unitWidth(unit_);
        uint32_t lastUnit = 0;
        uint64_t at = 0;
        auto measure = [&](std::string_view bytes) {
            hash.add(bytes);
            const std::string_view text = at == 0 ? bytes.substr(std::min(bytes.size(), out_.encoding.textStart())) : bytes;
            const LineEndTally t = options_.zeroTerminated ? LineEndTally{} : tallyLineEnds(text, unit_);
            tally.lf += t.lf;
            tally.cr += t.cr;
            tally.crlf += t.crlf;
            if (text.size() >= width) {
                // A CR LF pair the blocks cut apart.
                if (at > 0 && lastUnit == unitOf('\r') && unitAt(text, 0) == unitOf('\n'))
                    ++tally.crlf;
                lastUnit = unitAt(text, (text.size() / width - 1) * width);
            }
            if (!settled_)
                utf8.add(text, false);
            at += bytes.size();
        };
        // Each block is measured by the thread that reads it, while this one
        // files the lines of the block before.
        LineReader reader(unit_, out_.mode, kBlock);
        reader.setReadAhead(true);
        reader.onRead = measure;
        reader.attach(duplicateAtStart());
        // The source list reads the file from its own descriptor.
        auto lines = std::make_shared<LineFile>(duplicateAtStart(), unit_, out_.mode);

        KeyMaker maker(rules);
        std::string scratch, form;
        std::string_view line;
        int64_t index = 0;
        for (; reader.next(line); ++index) {
            uint64_t offset = reader.lineOffset();
            if (index == 0) {
                const size_t mark = std::min(line.size(), out_.encoding.textStart());
                line.remove_prefix(mark);
                offset += mark;
            }
            lines->noteLine(index, offset);
            const std::string_view key = wholeLines ? line : maker.key(line, scratch);
            if (filter && filter->interrupted())
                return Pass::Stopped;
            const bool inLine = key.data() >= line.data() && key.data() + key.size() <= line.data() + line.size();
            if (!(byForm ? maker.blank(key, inLine) : isBlankOnly(key))) {
                const std::string_view compared = byForm ? maker.form(key, inLine, form) : key;
                const uint64_t hash = keyHash(compareMode_, compared);
                const bool ownKey = byForm || !inLine;
                RecordHeader h{static_cast<uint32_t>(hash), static_cast<uint32_t>(index),
                               inLine ? offset + static_cast<uint64_t>(key.data() - line.data()) : kKeyText,
                               static_cast<uint32_t>(compared.size()) | (ownKey ? kOwnKey : 0)};
                const size_t size = sizeof h + compared.size() + (ownKey ? 4 : 0) + (inLine ? 0 : key.size());
                char* to = partitions_->add(partitionOf(hash, bits_), size);
                std::memcpy(to, &h, sizeof h);
                to = std::copy(compared.begin(), compared.end(), to + sizeof h);
                if (ownKey) {
                    const auto length = static_cast<uint32_t>(key.size());
                    std::memcpy(to, &length, 4);
                    if (!inLine)
                        std::copy(key.begin(), key.end(), to + 4);
                }
            }
            if (work_.step(Stage::Finding, static_cast<int64_t>(offset), static_cast<int64_t>(size_)))
                return Pass::Stopped;
        }
        if (reader.failed())
            throw ReadError{ReadFailure::FileError, reader.error()};
        if (index > INT32_MAX)
            throw ReadError{ReadFailure::FileError};
        if (!settled_) {
            utf8.add({}, true);
            settled_ = true;
            // A stray byte may leave it UTF-8; another encoding means other keys.
            if (utf8.invalidAt() >= 0) {
                const SourceEncoding guess = detectorGuess(utf8.invalidAt(), utf8.multiByteBefore());
                const bool same = guess.encoding == out_.encoding.encoding;
                out_.encoding = guess;
                unit_ = codeUnitOf(guess.encoding);
                if (!same)
                    return Pass::Again;
            }
        }
        if (const LineEndMode mode = options_.zeroTerminated ? LineEndMode::Nul : lineEndMode(tally); mode != out_.mode) {
            out_.mode = mode;
            return Pass::Again;
        }
        partitions_->flush();
        size_ = at;
        out_.contentHash = hash.value();
        lines->finish(index, size_);
        out_.lines = index;
        out_.source = std::make_shared<SourceLines>(std::move(lines), unit_, out_.mode);
        return Pass::Done;
    }

    // A descriptor of the file of its own, at its start.
    int duplicateAtStart() const
    {
        const int fd = ::dup(fd_);
        if (fd < 0 || ::lseek(fd, 0, SEEK_SET) != 0) {
            const int error = errno;
            if (fd >= 0)
                ::close(fd);
            throw ReadError{ReadFailure::FileError, error};
        }
        return fd;
    }

    // Groups the partitions, on two cores where there are, each partition
    // with a table of the keys met so far, their compared bytes kept once
    // each. A slice at a time, so that progress shows and a stop is noticed.
    bool group()
    {
        out_.dups = std::make_shared<DupsList>(out_.source, digitCount(out_.lines));
        // The list gets a quarter of the memory; the rest waits in sorted runs.
        out_.dups->keepWithin(memory_ / 4);
        work_.begin(Stage::Grouping);
        const uint32_t count = partitions_->count();
        const bool parallel = count > 1 && worthTwoCores(out_.lines, kTwoCoresFromLines);
        std::array<Grouper, 2> groupers{Grouper(*this), Grouper(*this)};
        std::atomic<uint32_t> next{0};
        std::mutex listed;
        while (next.load() < count) {
            const auto until = std::chrono::steady_clock::now() + Work::kInterval;
            onTwoCores(parallel, [&](int part) {
                Grouper& grouper = groupers[static_cast<size_t>(part)];
                do {
                    const uint32_t p = next.fetch_add(1);
                    if (p >= count)
                        return;
                    grouper.group(p);
                    const std::lock_guard lock(listed);
                    grouper.list(*out_.dups);
                } while (std::chrono::steady_clock::now() < until);
            });
            if (work_.report(Stage::Grouping, std::min(next.load(), count), count))
                return false;
        }
        out_.groups = groupers[0].groups + groupers[1].groups;
        return true;
    }

    // The grouping of one core: its table and what it found in the
    // partition it groups.
    struct Grouper {
        // The table holds each key's hash beside its member.
        struct Member {
            uint32_t line;
            uint32_t length;
            size_t at;
            uint64_t keyOffset;
            uint32_t keyLength;
            bool repeated;
        };
        // An entry for the list: its key in the file, or its text in texts.
        struct Entry {
            uint32_t line, group;
            uint64_t keyOffset;  // kKeyText: the text is in texts at textAt
            uint32_t keyLength;
            size_t textAt;
        };

        explicit Grouper(const SpilledScan& scan) : scan(scan) {}

        void group(uint32_t p)
        {
            members.clear();
            kept.clear();
            table.reset(scan.partitions_->records(p));
            members.reserve(scan.partitions_->records(p));
            scan.partitions_->forEachChunk(p, buffer, [&](std::string_view chunk) {
                // The chunk's records read first, so that the table is fetched
                // some records ahead: the slot first, then the member it holds.
                records.clear();
                for (size_t at = 0; at < chunk.size(); at = records.back().end)
                    records.push_back(Record::at(chunk, at));
                constexpr size_t kSlotAhead = 16, kMemberAhead = 8;
                for (size_t i = 0; i < records.size(); ++i) {
                    if (i + kSlotAhead < records.size())
                        table.prefetch(records[i + kSlotAhead].header.hash);
                    if (i + kMemberAhead < records.size())
                        if (const int64_t seen = table.peek(records[i + kMemberAhead].header.hash); seen >= 0)
                            __builtin_prefetch(members.data() + seen);
                    file(records[i]);
                }
            });
        }

        // A key met before, or a new one.
        void file(const Record& r)
        {
            const RecordHeader& h = r.header;
            const auto id = static_cast<uint32_t>(members.size());
            const uint32_t found = table.findOrAdd(h.hash, id, [&](uint32_t other) {
                const Member& m = members[other];
                return sameKey(scan.compareMode_, std::string_view(kept).substr(m.at, m.length), r.compared);
            });
            if (found == id) {
                members.push_back(Member{h.line, static_cast<uint32_t>(r.compared.size()), kept.size(), h.keyOffset,
                                         r.keyLength, false});
                kept.append(r.compared);
                kept.append(r.keyText);
                return;
            }
            // Every entry shows its own line's key, the first one too.
            Member& first = members[found];
            if (!first.repeated) {
                first.repeated = true;
                add(first.line, first.line, first.keyOffset, first.keyLength,
                    std::string_view(kept).substr(first.at + first.length,
                                                  first.keyOffset == kKeyText ? first.keyLength : 0));
                ++groups;
            }
            add(h.line, first.line, h.keyOffset, r.keyLength, r.keyText);
        }

        void add(uint32_t line, uint32_t group, uint64_t keyOffset, uint32_t keyLength, std::string_view keyText)
        {
            entries.push_back(Entry{line, group, keyOffset, keyLength, texts.size()});
            texts.append(keyText);
        }

        // Hands what group() found to the list.
        void list(DupsList& dups)
        {
            for (const Entry& e : entries) {
                if (e.keyOffset == kKeyText)
                    dups.append(e.line, e.group, std::string_view(texts).substr(e.textAt, e.keyLength));
                else
                    dups.appendAt(e.line, e.group, e.keyOffset, e.keyLength);
            }
            entries.clear();
            texts.clear();
        }

        const SpilledScan& scan;
        std::vector<Member> members;
        std::vector<Record> records;  // of the chunk being grouped
        std::string kept, buffer, texts;
        HashSlots table;
        std::vector<Entry> entries;
        int64_t groups = 0;
    };

    const Options& options_;
    const int64_t memory_;
    Work& work_;
    SpilledScanResult& out_;
    int fd_ = -1;
    uint64_t size_ = 0;
    CodeUnit unit_ = CodeUnit::Byte;
    int64_t lineEstimate_ = 0;
    bool settled_ = false;  // the encoding is certain (not only taken from the start)
    CompareMode compareMode_ = CompareMode::Binary;
    int bits_ = 0;
    std::unique_ptr<SpillFile> file_;
    std::unique_ptr<SpilledPartitions> partitions_;
};

}  // namespace

bool runSpilledScan(const std::string& path, const Options& options, int64_t memory, Work& work,
                    SpilledScanResult& out)
{
    return SpilledScan(options, memory, work, out).run(path);
}

}  // namespace quillow
