#include "engine/dedup/line_filter.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <chrono>
#include <new>

#include "engine/text/text_encoding.h"
#include "engine/text/text_util.h"

namespace quillow {

namespace {

// Patterns are the user's stored JavaScript/VBScript-style patterns:
// \uhhhh and \xhh escapes, \U a literal U, `$` only at the very end, no
// multiline, [] / [^] as in JavaScript, unset backreferences match empty.
// Subjects are always valid UTF-8 (see Subject): PCRE2's invalid-UTF mode
// is not used, as its JIT code (10.42) never lets \D, \S or \W match a
// character beyond ASCII. \C (one byte of a character) could end a match
// inside a character, where no later match may start: refused.
constexpr uint32_t kCompileOptions = PCRE2_UTF | PCRE2_NEVER_BACKSLASH_C | PCRE2_ALT_BSUX | PCRE2_DOLLAR_ENDONLY |
                                     PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF;

// Bounds for runaway backtracking; a line that hits one keeps its text. A
// million steps cost the JIT about 2 ms (a catastrophic pattern such as
// (a|aa)+$ burns them on every line), yet leave ordinary patterns room for
// lines of 200,000 characters.
constexpr uint32_t kMatchLimit = 1'000'000;
// Backtracking points nest once or twice per repetition of a group like
// (a|b)*, so depth grows with the line: both the interpreter's limits and the
// JIT stack let such patterns run over lines of 200,000 characters.
constexpr uint32_t kDepthLimit = 500'000;
constexpr uint32_t kHeapLimitKiB = 64 * 1024;
constexpr size_t kJitStackStart = 32 * 1024;
constexpr size_t kJitStackMax = 8 * 1024 * 1024;

// A callout in front of the pattern runs at each start position a match is
// tried from (those the start-of-match optimizations let through): one
// attempt costs at most the match limit, so looking at the clock every
// few attempts bounds the time between looks at the stop.
constexpr uint32_t kAttemptsPerClock = 4;
constexpr auto kStopInterval = std::chrono::milliseconds(10);

// The pattern with a callout where the match starts: after the
// start-of-pattern items ((*UTF), (*LIMIT_MATCH=n) ...), which must stay
// first. A callout matches nothing and captures nothing.
std::string withStartCallout(const std::string& pattern)
{
    size_t at = 0;
    while (pattern.compare(at, 2, "(*") == 0) {
        const size_t close = pattern.find(')', at);
        if (close == std::string::npos)
            break;
        at = close + 1;
    }
    return pattern.substr(0, at) + "(?C)" + pattern.substr(at);
}

// What PCRE2 matches: the text itself when it is valid UTF-8, else a copy in
// which every invalid byte (and every escape of decoded text) is a stand-in
// character of the last private-use plane, U+10FF00 + the byte, with the
// text offset of each copied byte.
class Subject {
public:
    Subject(std::string_view text, bool escaped, std::string& copy, std::vector<size_t>& offsets)
        : offsets_(offsets)
    {
        if (isValidUtf8(text)) {
            subject_ = text;
            return;
        }
        copy.clear();
        offsets.clear();
        const auto* p = reinterpret_cast<const unsigned char*>(text.data());
        const size_t n = text.size();
        auto standIn = [&](size_t from, unsigned char b) {
            const char bytes[4] = {'\xF4', '\x8F', static_cast<char>(0xBC | (b >> 6)), static_cast<char>(0x80 | (b & 0x3F))};
            copy.append(bytes, 4);
            offsets.insert(offsets.end(), 4, from);
        };
        for (size_t i = 0; i < n;) {
            if (escaped && p[i] == 0xED && i + 2 < n && (p[i + 1] & 0xFC) == 0xB0 && (p[i + 2] & 0xC0) == 0x80) {
                standIn(i, static_cast<unsigned char>((p[i + 1] & 0x03) << 6 | (p[i + 2] & 0x3F)));
                i += 3;
                continue;
            }
            const size_t length = p[i] < 0x80 ? 1 : utf8CharLength(text, i);
            if (length == 1 && p[i] >= 0x80) {
                standIn(i, p[i]);
                ++i;
                continue;
            }
            copy.append(text.substr(i, length));
            for (size_t k = 0; k < length; ++k)
                offsets.push_back(i);
            i += length;
        }
        offsets.push_back(n);
        subject_ = copy;
        mapped_ = true;
    }
    std::string_view text() const { return subject_; }
    // The text's offset of a character boundary of the subject.
    size_t original(size_t at) const { return mapped_ ? offsets_[at] : at; }

private:
    std::string_view subject_;
    std::vector<size_t>& offsets_;
    bool mapped_ = false;
};

}  // namespace

struct LineFilter::Impl {
    using Clock = std::chrono::steady_clock;

    pcre2_code* code = nullptr;
    pcre2_match_data* matchData = nullptr;
    pcre2_match_context* matchContext = nullptr;
    pcre2_jit_stack* jitStack = nullptr;
    bool jit = false;
    // A subject's copy and offsets, kept between lines.
    mutable std::string copy;
    mutable std::vector<size_t> offsets;
    // The stop, asked between match attempts (watch()).
    std::function<bool()> stopped;
    mutable uint32_t attempts = 0;
    mutable Clock::time_point lastLook = Clock::now();
    mutable bool interrupted = false;

    static int onAttempt(pcre2_callout_block*, void* data)
    {
        const auto* self = static_cast<const Impl*>(data);
        if (!self->stopped || ++self->attempts % kAttemptsPerClock != 0)
            return 0;
        const Clock::time_point now = Clock::now();
        if (now - self->lastLook < kStopInterval)
            return 0;
        self->lastLook = now;
        if (!self->stopped())
            return 0;
        self->interrupted = true;
        return PCRE2_ERROR_CALLOUT;  // abandons the match
    }

    ~Impl()
    {
        pcre2_jit_stack_free(jitStack);
        pcre2_match_context_free(matchContext);
        pcre2_match_data_free(matchData);
        pcre2_code_free(code);
    }

    // Calls onMatch(offset, length) for each match left to right until it
    // returns false, in offsets of text. After an empty match the search
    // goes on one character further (a whole UTF-8 sequence, or one invalid
    // byte), as JavaScript's global matching does, so /a*/ on "baaac" yields
    // "", "aaa", "", "". False on an engine failure or limit.
    template <typename F>
    bool forEachMatch(std::string_view original, bool escaped, F&& onMatch) const
    {
        if (interrupted)
            return false;
        const Subject s(original, escaped, copy, offsets);
        const std::string_view text = s.text();
        static const char kEmpty[1] = {0};
        const auto* subject = reinterpret_cast<PCRE2_SPTR>(text.data() ? text.data() : kEmpty);
        const size_t n = text.size();
        size_t pos = 0;
        while (pos <= n) {
            int rc = pcre2_match(code, subject, n, pos, PCRE2_NO_UTF_CHECK, matchData, matchContext);
            if (rc == PCRE2_ERROR_NOMATCH)
                return true;
            if (rc < 0)
                return false;
            const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(matchData);
            const size_t start = ov[0], end = ov[1];
            // \K can report odd spans; refuse what cannot be a forward match.
            if (end < start || end < pos || end > n)
                return false;
            const size_t from = s.original(start);
            if (!onMatch(from, s.original(end) - from))
                return true;
            pos = end > start ? end : (end < n ? end + utf8CharLength(text, end) : n + 1);
        }
        return true;
    }
};

LineFilter::LineFilter() = default;
LineFilter::~LineFilter() = default;

std::unique_ptr<LineFilter> LineFilter::create(const std::string& pattern, bool ignoreCase, std::string* error,
                                               bool useJit)
{
    auto fail = [error](const std::string& why) -> std::unique_ptr<LineFilter> {
        if (error)
            *error = why;
        return nullptr;
    };

    std::unique_ptr<LineFilter> filter(new LineFilter());
    filter->impl_ = std::make_unique<Impl>();
    Impl& impl = *filter->impl_;

    pcre2_compile_context* cctx = pcre2_compile_context_create(nullptr);
    if (!cctx)
        return fail("out of memory");
    pcre2_set_newline(cctx, PCRE2_NEWLINE_LF);
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    const uint32_t options = kCompileOptions | (ignoreCase ? PCRE2_CASELESS : 0);
    // The pattern as given decides whether it is valid and what it says.
    impl.code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options, &errorCode,
                              &errorOffset, cctx);
    if (impl.code) {
        const std::string watched = withStartCallout(pattern);
        int ignoredCode = 0;
        PCRE2_SIZE ignoredOffset = 0;
        if (pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(watched.data()), watched.size(), options,
                                             &ignoredCode, &ignoredOffset, cctx)) {
            pcre2_code_free(impl.code);
            impl.code = code;
        }
    }
    pcre2_compile_context_free(cctx);
    if (!impl.code) {
        PCRE2_UCHAR buffer[256];
        pcre2_get_error_message(errorCode, buffer, sizeof buffer);
        return fail(std::string(reinterpret_cast<const char*>(buffer)) + " at offset " + std::to_string(errorOffset));
    }

    // Without JIT (not built in, or no executable memory) the interpreter runs.
    impl.jit = useJit && pcre2_jit_compile(impl.code, PCRE2_JIT_COMPLETE) == 0;

    impl.matchData = pcre2_match_data_create_from_pattern(impl.code, nullptr);
    impl.matchContext = pcre2_match_context_create(nullptr);
    if (!impl.matchData || !impl.matchContext)
        return fail("out of memory");
    pcre2_set_callout(impl.matchContext, &Impl::onAttempt, &impl);
    pcre2_set_match_limit(impl.matchContext, kMatchLimit);
    pcre2_set_depth_limit(impl.matchContext, kDepthLimit);
    pcre2_set_heap_limit(impl.matchContext, kHeapLimitKiB);
    if (impl.jit) {
        // JIT code ignores the depth limit; its own stack bounds it instead.
        impl.jitStack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
        if (impl.jitStack)
            pcre2_jit_stack_assign(impl.matchContext, nullptr, impl.jitStack);
    }
    return filter;
}

bool LineFilter::jitCompiled() const { return impl_->jit; }

void LineFilter::watch(std::function<bool()> stopped)
{
    impl_->stopped = std::move(stopped);
    impl_->interrupted = false;
}

bool LineFilter::interrupted() const { return impl_->interrupted; }

bool LineFilter::execute(std::string_view text, std::vector<std::pair<size_t, size_t>>& matches, bool escaped) const
{
    matches.clear();
    return impl_->forEachMatch(text, escaped, [&](size_t offset, size_t length) {
        matches.emplace_back(offset, length);
        return true;
    });
}

std::string_view LineFilter::select(std::string_view text, int selector, std::string& scratch, bool escaped) const
{
    if (selector == -1) {
        bool found = false;
        size_t lastOffset = 0, lastLength = 0;
        bool ok = impl_->forEachMatch(text, escaped, [&](size_t offset, size_t length) {
            found = true;
            lastOffset = offset;
            lastLength = length;
            return true;
        });
        return ok && found ? text.substr(lastOffset, lastLength) : text;
    }
    if (selector == 0) {
        // One match is returned as a view; only a second one makes a copy.
        int64_t count = 0;
        size_t firstOffset = 0, firstLength = 0;
        bool ok = impl_->forEachMatch(text, escaped, [&](size_t offset, size_t length) {
            if (count == 0) {
                firstOffset = offset;
                firstLength = length;
            } else {
                if (count == 1)
                    scratch.assign(text.substr(firstOffset, firstLength));
                scratch.append(text.substr(offset, length));
            }
            ++count;
            return true;
        });
        if (!ok)
            return text;
        if (count == 0)
            return text.substr(0, 0);
        if (count == 1)
            return text.substr(firstOffset, firstLength);
        return scratch;
    }
    if (selector < -1)  // no such match: the lookup fails, as a JavaScript index past the end does
        return text;
    // The n-th match: later matches cannot change it, so stop there.
    int seen = 0;
    size_t offset = 0, length = 0;
    bool ok = impl_->forEachMatch(text, escaped, [&](size_t o, size_t l) {
        if (++seen < selector)
            return true;
        offset = o;
        length = l;
        return false;
    });
    if (!ok)
        return text;
    return seen == selector ? text.substr(offset, length) : text.substr(0, 0);
}

std::string filterPatternError(const std::string& pattern)
{
    std::string error;
    if (!LineFilter::create(pattern, false, &error, false))
        return error.empty() ? std::string("refused") : error;
    return {};
}

}  // namespace quillow
