#include "app/flows/reload_flow.h"

#include <xxhash.h>

#include <unordered_map>
#include <unordered_set>

#include "app/flows/select_flow.h"
#include "app/texts.h"

namespace quillow {

namespace {

// A ticked line: a 128-bit hash of its bytes and its occurrence among the
// list's lines with those bytes.
struct Occurrence {
    uint64_t low, high;
    uint32_t ordinal;
    bool operator==(const Occurrence&) const = default;
};

struct OccurrenceHash {
    size_t operator()(const Occurrence& o) const { return o.low ^ (o.high * 31) ^ o.ordinal; }
};

struct TextHash {
    uint64_t low, high;
    bool operator==(const TextHash&) const = default;
};

struct TextHashHash {
    size_t operator()(const TextHash& h) const { return h.low; }
};

// Calls f(entry, occurrence) for every entry of the list (selected ones
// only when onlySelected). Lines with the same bytes have the same key, so
// they are all in one group, and the list holds a group's entries in line
// order: counting within the group counts them all.
template <typename F>
void forEachOccurrence(const ScanResult& result, bool onlySelected, F&& f)
{
    const DupsList& list = *result.dups;
    const SourceLines& source = *result.source;
    std::unordered_map<TextHash, uint32_t, TextHashHash> seen;
    uint32_t group = UINT32_MAX;
    for (int64_t i = 0, n = list.count(); i < n; ++i) {
        if (list.group(i) != group) {
            group = list.group(i);
            seen.clear();
        }
        const std::string_view text = source.view(list.lineNumber(i) - 1);
        const XXH128_hash_t h = XXH3_128bits(text.data(), text.size());
        const uint32_t ordinal = seen[TextHash{h.low64, h.high64}]++;
        if (!onlySelected || list.isSelected(i))
            f(i, Occurrence{h.low64, h.high64, ordinal});
    }
}

// Lines read from the file share its reader with the views: they are read
// here rather than on the worker.
template <typename F>
void runOnWorkerIfSafe(Session& session, F&& f)
{
    const SourceLines* source = session.result.source.get();
    if (source && source->inMemory())
        session.frontEnd.runWork(nullptr, [&](Work&) { f(); });
    else
        f();
}

}  // namespace

bool ticksCanBeKept(const ScanResult& result)
{
    return result.ready && result.dups && result.source && !result.source->released() && !result.memoryPreserved;
}

ReloadOutcome reloadFile(Session& session)
{
    ReloadOutcome outcome;
    ScanResult& result = session.result;
    if (result.file.empty() || result.fromStream || session.busy)
        return outcome;
    const std::string file = result.file;

    std::unordered_set<Occurrence, OccurrenceHash> ticked;
    if (ticksCanBeKept(result) && result.dups->selectedCount() > 0)
        runOnWorkerIfSafe(session, [&] {
            forEachOccurrence(result, true, [&](int64_t, const Occurrence& o) { ticked.insert(o); });
        });

    outcome.scan = openFile(session, file);
    if (ticked.empty())
        return outcome;
    if (outcome.scan == ScanOutcome::Completed && ticksCanBeKept(result)) {
        std::vector<bool> flags(static_cast<size_t>(result.dups->count()), false);
        runOnWorkerIfSafe(session, [&] {
            forEachOccurrence(result, false, [&](int64_t i, const Occurrence& o) {
                if (ticked.count(o)) {
                    flags[static_cast<size_t>(i)] = true;
                    ++outcome.kept;
                }
            });
        });
        result.dups->setSelection(std::move(flags));
        session.frontEnd.selectionChanged();
    }
    outcome.lost = static_cast<int64_t>(ticked.size()) - outcome.kept;
    if (outcome.scan == ScanOutcome::Completed)
        session.frontEnd.setStatus(text::reloadStatus(outcome.kept, outcome.lost) + "  " +
                                   selectionStatusText(result));
    return outcome;
}

}  // namespace quillow
