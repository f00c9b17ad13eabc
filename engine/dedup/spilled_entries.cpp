#include "engine/dedup/spilled_entries.h"

#include <algorithm>
#include <atomic>
#include <queue>

namespace quillow {

namespace {

constexpr size_t kRecord = sizeof(DupRecord);
// Records read back at once by at(): sequential readers (selection, the
// save, --list) meet each block once.
constexpr size_t kBlockRecords = 4096;
// Merged records go out in writes of this size.
constexpr size_t kWriteBytes = size_t{1} << 20;
constexpr size_t kMinRunBuffer = size_t{64} << 10;
// The merge takes at least this much, so that a tiny budget still merges
// dozens of runs at once.
constexpr int64_t kMinMergeMemory = int64_t{4} << 20;
constexpr size_t kMaxRunBuffer = size_t{4} << 20;

std::atomic<uint64_t> g_nextId{1};

// A run read a buffer at a time.
class RunReader {
public:
    RunReader(const SpillFile& file, uint64_t first, uint64_t count, size_t bufferRecords)
        : file_(file), next_(first), end_(first + count), buffer_(bufferRecords)
    {
        fill();
    }
    bool done() const { return at_ == have_; }
    const DupRecord& head() const { return buffer_[at_]; }
    void pop()
    {
        if (++at_ == have_)
            fill();
    }

private:
    void fill()
    {
        have_ = static_cast<size_t>(std::min<uint64_t>(buffer_.size(), end_ - next_));
        at_ = 0;
        if (have_ > 0)
            file_.read(next_ * kRecord, reinterpret_cast<char*>(buffer_.data()), have_ * kRecord);
        next_ += have_;
    }

    const SpillFile& file_;
    uint64_t next_, end_;
    std::vector<DupRecord> buffer_;
    size_t at_ = 0, have_ = 0;
};

}  // namespace

SpilledEntries::SpilledEntries() : file_(std::make_unique<SpillFile>()), id_(g_nextId.fetch_add(1)) {}

void SpilledEntries::addRun(std::span<const DupRecord> run)
{
    if (run.empty())
        return;
    file_->append(std::string_view(reinterpret_cast<const char*>(run.data()), run.size_bytes()));
    runs_.push_back(Run{static_cast<uint64_t>(count_), run.size()});
    count_ += static_cast<int64_t>(run.size());
    id_ = g_nextId.fetch_add(1);  // blocks read before are out of date
}

bool SpilledEntries::merge(int64_t memory, Work& work)
{
    if (runs_.size() <= 1)
        return true;
    const auto budget = static_cast<size_t>(std::max(memory, kMinMergeMemory));
    // Each run gets a buffer of its own; too many runs for the budget are
    // merged a number at a time, in rounds.
    const size_t buffer = std::clamp(budget / runs_.size(), kMinRunBuffer, kMaxRunBuffer);
    const size_t fanIn = std::max<size_t>(2, budget / buffer);
    int rounds = 0;
    for (size_t runs = runs_.size(); runs > 1; runs = (runs + fanIn - 1) / fanIn)
        ++rounds;
    const int64_t total = count_ * rounds;
    int64_t done = 0;
    while (runs_.size() > 1) {
        auto next = std::make_unique<SpillFile>();
        std::vector<Run> merged;
        for (size_t from = 0; from < runs_.size(); from += fanIn) {
            const size_t to = std::min(runs_.size(), from + fanIn);
            const uint64_t first = next->size() / kRecord;
            if (!mergeRuns(from, to, buffer / kRecord, *next, work, done, total))
                return false;
            merged.push_back(Run{first, next->size() / kRecord - first});
        }
        file_ = std::move(next);  // the runs merged are no longer needed
        runs_ = std::move(merged);
        id_ = g_nextId.fetch_add(1);
    }
    return true;
}

bool SpilledEntries::mergeRuns(size_t from, size_t to, size_t bufferRecords, SpillFile& next, Work& work,
                               int64_t& done, int64_t total)
{
    std::vector<RunReader> readers;
    readers.reserve(to - from);
    for (size_t r = from; r < to; ++r)
        readers.emplace_back(*file_, runs_[r].first, runs_[r].count, bufferRecords);
    // The smallest head first.
    using Head = std::pair<uint64_t, size_t>;
    std::priority_queue<Head, std::vector<Head>, std::greater<>> heads;
    for (size_t r = 0; r < readers.size(); ++r)
        if (!readers[r].done())
            heads.emplace(readers[r].head().order(), r);
    std::vector<DupRecord> out;
    out.reserve(kWriteBytes / kRecord);
    auto write = [&] {
        next.append(std::string_view(reinterpret_cast<const char*>(out.data()), out.size() * kRecord));
        done += static_cast<int64_t>(out.size());
        out.clear();
        return !work.report(Stage::Sorting, done, total);
    };
    while (!heads.empty()) {
        const size_t r = heads.top().second;
        heads.pop();
        RunReader& reader = readers[r];
        out.push_back(reader.head());
        reader.pop();
        if (!reader.done())
            heads.emplace(reader.head().order(), r);
        if (out.size() == out.capacity() && !write())
            return false;
    }
    return write();
}

DupRecord SpilledEntries::at(int64_t index) const
{
    // Per thread, the block it read last, of which list (the GUI paints a
    // list while a save reads it on the worker).
    struct Block {
        uint64_t owner = 0;
        int64_t first = 0;
        std::vector<DupRecord> records;
    };
    thread_local Block block;
    if (block.owner != id_ || index < block.first || index >= block.first + static_cast<int64_t>(block.records.size())) {
        block.owner = 0;
        block.first = index - index % static_cast<int64_t>(kBlockRecords);
        block.records.resize(static_cast<size_t>(std::min<int64_t>(kBlockRecords, count_ - block.first)));
        file_->read(static_cast<uint64_t>(block.first) * kRecord, reinterpret_cast<char*>(block.records.data()),
                    block.records.size() * kRecord);
        block.owner = id_;
    }
    return block.records[static_cast<size_t>(index - block.first)];
}

SpilledTexts::SpilledTexts() = default;

uint64_t SpilledTexts::append(std::string_view text)
{
    const uint64_t at = written_ + pending_.size();
    pending_.append(text);
    if (pending_.size() >= kWriteBytes)
        flush();
    return at;
}

void SpilledTexts::flush()
{
    file_.append(pending_);
    written_ += pending_.size();
    pending_.clear();
}

std::string_view SpilledTexts::read(uint64_t offset, uint32_t length) const
{
    if (offset >= written_)
        return std::string_view(pending_).substr(static_cast<size_t>(offset - written_), length);
    thread_local std::string scratch;
    scratch.resize(length);
    // A text begun in the file may end in what is not yet written.
    const size_t fromFile = static_cast<size_t>(std::min<uint64_t>(length, written_ - offset));
    file_.read(offset, scratch.data(), fromFile);
    std::copy_n(pending_.data(), length - fromFile, scratch.data() + fromFile);
    return scratch;
}

}  // namespace quillow
