#include "engine/dedup/spilled_scan.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
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

namespace quillow {

namespace {

// The file is read in blocks of this size (a multiple of every code unit).
constexpr size_t kBlock = size_t{4} << 20;
// Keys and their records take about this much beside the file's bytes.
constexpr int64_t kRecordBytesPerLine = 32;
constexpr int kMaxPartitionBits = 12;
constexpr int64_t kLinesPerPartition = 8192;
constexpr int64_t kSmallBuffer = 32 << 10;

// A key as filed: its hash, its line, where its text lies in the file (or,
// with kKeyText, that the text follows), and the bytes it is compared by.
// The compared bytes follow the header, then the key's text when it is not
// bytes of the line (a filter joined it).
#pragma pack(push, 4)
struct RecordHeader {
    uint64_t hash;
    uint32_t line;
    uint32_t keyLength;
    uint64_t keyOffset;
    uint32_t compareLength;
};
#pragma pack(pop)
constexpr uint64_t kKeyText = uint64_t{1} << 63;

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
        return readThrough() && spill() && group();
    }

private:
    // The first pass: the encoding, how lines end, the fingerprint.
    bool readThrough()
    {
        std::string start(static_cast<size_t>(std::min<uint64_t>(size_, kEncodingStart)), '\0');
        start.resize(readFileAt(fd_, start.data(), start.size(), 0));
        const bool automatic = isAutoEncoding(options_.textEncoding);
        std::optional<SourceEncoding> settled;
        if (automatic) {
            settled = encodingFromStart(start);
            // NUL ends lines: NUL bytes say nothing of UTF-16.
            if (settled && options_.zeroTerminated && settled->evidence == EncodingEvidence::NulPattern)
                settled.reset();
        } else {
            EncodingChoice choice = chooseEncoding(options_.textEncoding, start);
            if (!choice.source)
                throw choice.refusal;
            settled = choice.source;
        }
        // Not settled yet: UTF-8 or a legacy encoding, lines end in bytes.
        const SourceEncoding assumed = settled.value_or(SourceEncoding{});
        unit_ = codeUnitOf(assumed.encoding);
        const size_t width = unitWidth(unit_);

        Utf8Check utf8;
        LineEndTally tally;
        int64_t nuls = 0;
        ContentHash hash;
        std::string block(kBlock, '\0');
        uint32_t lastUnit = 0;
        uint64_t at = 0;
        for (;;) {
            const size_t n = readFileAt(fd_, block.data(), kBlock, at);
            const std::string_view bytes(block.data(), n);
            hash.add(bytes);
            const std::string_view text = at == 0 ? bytes.substr(std::min(n, assumed.textStart())) : bytes;
            if (options_.zeroTerminated)
                nuls += countNulUnits(text, unit_);
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
            if (!settled)
                utf8.add(text, n < kBlock);
            at += n;
            if (work_.report(Stage::Loading, static_cast<int64_t>(std::min(at, size_)), static_cast<int64_t>(size_)))
                return false;
            if (n < kBlock)
                break;
        }
        size_ = at;
        out_.contentHash = hash.value();
        out_.encoding = settled                  ? *settled
                        : utf8.invalidAt() < 0 ? SourceEncoding{}
                                               : detectorGuess(utf8.invalidAt(), utf8.multiByteBefore());
        out_.mode = options_.zeroTerminated ? LineEndMode::Nul : lineEndMode(tally);
        lineEstimate_ = out_.mode == LineEndMode::Nul ? nuls + 1 : mostLines(tally, out_.mode);
        if (lineEstimate_ > INT32_MAX)
            throw ReadError{ReadFailure::FileError};
        return true;
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

    // The second pass: every line's key filed in a partition.
    bool spill()
    {
        const std::unique_ptr<LineFilter> filter = filterFor(options_);
        if (filter)
            filter->watch([this] { return work_.check(); });
        const KeyRules rules = keyRules(options_, filter.get(), out_.encoding.encoding);
        const bool byForm = comparedByForm(rules);
        compareMode_ = byForm ? CompareMode::Binary : rules.mode;

        // Partitions of a quarter of the memory at most; more of them, down
        // to a few thousand lines each, while their buffers (an eighth of the
        // memory in all) hold 32 KiB each: the table of a small partition
        // stays in the processor's cache.
        const int64_t records = static_cast<int64_t>(size_) * (byForm ? 2 : 1) + kRecordBytesPerLine * lineEstimate_;
        const int64_t share = std::max<int64_t>(memory_ / 4, int64_t{1} << 20);
        bits_ = partitionBits(records, share, kMaxPartitionBits);
        while (bits_ < kMaxPartitionBits && (lineEstimate_ >> bits_) > kLinesPerPartition &&
               ((memory_ / 8) >> (bits_ + 1)) >= kSmallBuffer)
            ++bits_;
        const size_t buffer = static_cast<size_t>(std::clamp<int64_t>((memory_ / 8) >> bits_, 4 << 10, 4 << 20));
        work_.begin(Stage::FindingOnDisk);
        file_ = std::make_unique<SpillFile>();
        partitions_ = std::make_unique<SpilledPartitions>(*file_, uint32_t{1} << bits_, buffer);

        const int readFd = ::dup(fd_);
        if (readFd < 0 || ::lseek(readFd, 0, SEEK_SET) != 0) {
            const int error = errno;
            if (readFd >= 0)
                ::close(readFd);
            throw ReadError{ReadFailure::FileError, error};
        }
        LineReader reader(unit_, out_.mode, kBlock);
        reader.attach(readFd);
        ContentHash again;
        reader.onRead = [&again](std::string_view bytes) { again.add(bytes); };
        auto lines = std::make_shared<LineFile>(fd_, unit_, out_.mode);
        fd_ = -1;  // the source list reads it from now on

        KeyMaker maker(rules);
        std::string scratch, form, record;
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
            const std::string_view key = maker.key(line, scratch);
            if (filter && filter->interrupted())
                return false;
            const bool inLine = key.data() >= line.data() && key.data() + key.size() <= line.data() + line.size();
            if (!(byForm ? maker.blank(key, inLine) : isBlankOnly(key))) {
                const std::string_view compared = byForm ? maker.form(key, inLine, form) : key;
                RecordHeader h{keyHash(compareMode_, compared), static_cast<uint32_t>(index),
                               static_cast<uint32_t>(key.size()),
                               inLine ? offset + static_cast<uint64_t>(key.data() - line.data()) : kKeyText,
                               static_cast<uint32_t>(compared.size())};
                record.assign(reinterpret_cast<const char*>(&h), sizeof h);
                record.append(compared);
                if (!inLine)
                    record.append(key);
                partitions_->add(partitionOf(h.hash, bits_), record);
            }
            if (work_.step(Stage::Finding, index, lineEstimate_))
                return false;
        }
        if (reader.failed())
            throw ReadError{ReadFailure::FileError, reader.error()};
        // What the second pass read must be what the first one did.
        if (again.value() != out_.contentHash || index > INT32_MAX)
            throw ReadError{ReadFailure::FileError};
        partitions_->flush();
        lines->finish(index, size_);
        out_.lines = index;
        out_.source = std::make_shared<SourceLines>(std::move(lines), unit_, out_.mode);
        return true;
    }

    // Groups each partition in turn: a table of the keys met so far, their
    // compared bytes kept once each.
    bool group()
    {
        out_.dups = std::make_shared<DupsList>(out_.source, digitCount(out_.lines));
        DupsList& dups = *out_.dups;
        // A key met first: its compared bytes in kept at at, and where its
        // own text lies (in the file, or in kept after the compared bytes).
        struct Member {
            uint64_t hash;
            uint32_t line;
            uint32_t length;
            size_t at;
            uint64_t keyOffset;
            uint32_t keyLength;
            bool repeated;
        };
        std::vector<Member> members;
        std::string kept, buffer;
        HashSlots table;
        for (uint32_t p = 0; p < partitions_->count(); ++p) {
            members.clear();
            kept.clear();
            table.reset(partitions_->records(p));
            partitions_->forEachChunk(p, buffer, [&](std::string_view chunk) {
                for (size_t at = 0; at < chunk.size();) {
                    RecordHeader h;
                    std::memcpy(&h, chunk.data() + at, sizeof h);
                    at += sizeof h;
                    const std::string_view compared = chunk.substr(at, h.compareLength);
                    at += h.compareLength;
                    std::string_view keyText;
                    if (h.keyOffset == kKeyText) {
                        keyText = chunk.substr(at, h.keyLength);
                        at += h.keyLength;
                    }
                    const auto next = static_cast<uint32_t>(members.size());
                    const uint32_t id = table.findOrAdd(static_cast<uint32_t>(h.hash), next, [&](uint32_t other) {
                        const Member& m = members[other];
                        return m.hash == h.hash &&
                               sameKey(compareMode_, std::string_view(kept).substr(m.at, m.length), compared);
                    });
                    if (id == next) {
                        members.push_back(Member{h.hash, h.line, h.compareLength, kept.size(), h.keyOffset,
                                                 h.keyLength, false});
                        kept.append(compared);
                        kept.append(keyText);
                        continue;
                    }
                    // Every entry shows its own line's key, the first one too.
                    Member& first = members[id];
                    if (!first.repeated) {
                        first.repeated = true;
                        if (first.keyOffset == kKeyText)
                            dups.append(first.line, first.line,
                                        std::string_view(kept).substr(first.at + first.length, first.keyLength));
                        else
                            dups.appendAt(first.line, first.line, first.keyOffset, first.keyLength);
                        ++out_.groups;
                    }
                    if (h.keyOffset == kKeyText)
                        dups.append(h.line, first.line, keyText);
                    else
                        dups.appendAt(h.line, first.line, h.keyOffset, h.keyLength);
                }
            });
            if (work_.check())
                return false;
        }
        return true;
    }

    const Options& options_;
    const int64_t memory_;
    Work& work_;
    SpilledScanResult& out_;
    int fd_ = -1;
    uint64_t size_ = 0;
    CodeUnit unit_ = CodeUnit::Byte;
    int64_t lineEstimate_ = 0;
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
