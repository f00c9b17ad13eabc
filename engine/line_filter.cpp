#include "engine/line_filter.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cmath>
#include <exception>
#include <new>

#include "engine/host.h"
#include "engine/program_state.h"
#include "engine/text_util.h"

namespace quillow {

namespace {

// Patterns are the user's stored JavaScript/VBScript-style patterns:
// \uhhhh and \xhh escapes, \U a literal U, `$` only at the very end, no
// multiline, [] / [^] as in JavaScript, unset backreferences match empty.
// Lines may hold any bytes: invalid UTF-8 never fails a match.
constexpr uint32_t kCompileOptions = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_ALT_BSUX | PCRE2_DOLLAR_ENDONLY |
                                     PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF;

// Bounds for runaway backtracking; a line that hits one keeps its text.
constexpr uint32_t kMatchLimit = 10'000'000;
// Backtracking points nest once or twice per repetition of a group like
// (a|b)*, so depth grows with the line: both the interpreter's limits and the
// JIT stack let such patterns run over lines of 200,000 characters.
constexpr uint32_t kDepthLimit = 500'000;
constexpr uint32_t kHeapLimitKiB = 64 * 1024;
constexpr size_t kJitStackStart = 32 * 1024;
constexpr size_t kJitStackMax = 8 * 1024 * 1024;

const char* const kTestPrompt =
    "请输入一个行以便用你的过滤测试。你也可以键入 line=# 在这里 # 为当前载入文件的行号";
const char* const kTestResult = "你的过滤返回下述结果:\r\n\r\n";
const char* const kTestEmpty = "(空)";
const char* const kTestFailed = "执行失败！正则表达式可能有语法错误...";

}  // namespace

struct LineFilter::Impl {
    pcre2_code* code = nullptr;
    pcre2_match_data* matchData = nullptr;
    pcre2_match_context* matchContext = nullptr;
    pcre2_jit_stack* jitStack = nullptr;
    bool jit = false;

    ~Impl()
    {
        pcre2_jit_stack_free(jitStack);
        pcre2_match_context_free(matchContext);
        pcre2_match_data_free(matchData);
        pcre2_code_free(code);
    }

    // Calls onMatch(offset, length) for each match left to right until it
    // returns false. After an empty match the search goes on one character
    // further (a whole UTF-8 sequence, or one invalid byte), as JavaScript's
    // global matching does, so /a*/ on "baaac" yields "", "aaa", "", "".
    // False on an engine failure or limit.
    template <typename F>
    bool forEachMatch(std::string_view text, F&& onMatch) const
    {
        static const char kEmpty[1] = {0};
        const auto* subject = reinterpret_cast<PCRE2_SPTR>(text.data() ? text.data() : kEmpty);
        const size_t n = text.size();
        size_t pos = 0;
        while (pos <= n) {
            int rc = pcre2_match(code, subject, n, pos, 0, matchData, matchContext);
            if (rc == PCRE2_ERROR_NOMATCH)
                return true;
            if (rc < 0)
                return false;
            const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(matchData);
            const size_t start = ov[0], end = ov[1];
            // \K can report odd spans; refuse what cannot be a forward match.
            if (end < start || end < pos || end > n)
                return false;
            if (!onMatch(start, end - start))
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
    impl.code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                              kCompileOptions | (ignoreCase ? PCRE2_CASELESS : 0), &errorCode, &errorOffset, cctx);
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

bool LineFilter::execute(std::string_view text, std::vector<std::pair<size_t, size_t>>& matches) const
{
    matches.clear();
    return impl_->forEachMatch(text, [&](size_t offset, size_t length) {
        matches.emplace_back(offset, length);
        return true;
    });
}

std::string_view LineFilter::select(std::string_view text, int selector, std::string& scratch) const
{
    if (selector == -1) {
        bool found = false;
        size_t lastOffset = 0, lastLength = 0;
        bool ok = impl_->forEachMatch(text, [&](size_t offset, size_t length) {
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
        bool ok = impl_->forEachMatch(text, [&](size_t offset, size_t length) {
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
    if (selector < -1)  // no such match: the classic engine fails the lookup
        return text;
    // The n-th match: later matches cannot change it, so stop there.
    int seen = 0;
    size_t offset = 0, length = 0;
    bool ok = impl_->forEachMatch(text, [&](size_t o, size_t l) {
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

void InitRegExp(ProgramState& state)
{
    state.regExpReady = 0;
    state.oRegExp.reset();
    try {
        state.oRegExp = LineFilter::create(state.sRegExp, state.caseSensitive == 0);
    } catch (const std::bad_alloc&) {
        state.oRegExp.reset();
    }
    if (!state.oRegExp)
        return;
    state.regExpMatch = state.iRegExpMatch;
    state.regExpReady = -1;
}

std::string_view ApplyRegExp(const ProgramState& state, std::string_view line, std::string& scratch)
{
    if (!state.oRegExp)
        return line;
    return state.oRegExp->select(line, state.regExpMatch, scratch);
}

namespace {

// Thrown inside the filter test for every failure; it ends in one message.
struct TestFailed {};

// The text of line=N: the source list box shows the file's lines, or after a
// big file only the placeholder. An index past the end gives an empty text.
std::string sourceBoxEntry(const ProgramState& state, double n)
{
    const double index = n - 1;
    const int64_t count = state.bigFile != 0 ? 1 : (state.sourceList ? state.sourceList->ListCount() : 0);
    if (std::isnan(index) || index > static_cast<double>(count))
        return {};
    auto rounded = toInt32(index);
    if (!rounded || *rounded < 0)
        throw TestFailed{};
    if (*rounded >= count)
        return {};
    if (state.bigFile != 0)
        return kNoPreview;
    return state.sourceList->List(*rounded);
}

std::string runFilterTest(const std::string& testText, const FilterTestControls& controls)
{
    auto engine = LineFilter::create(controls.pattern, !controls.caseChecked);
    if (!engine)
        throw TestFailed{};

    std::string_view text = testText;
    if (controls.trimChecked)
        text = trimBlanks(text);
    const double startPos = leadingNumber(controls.startPosText);
    if (startPos != 0) {
        // The text from character startPos + 1 on; a start before the first
        // character is an invalid call.
        auto first = toInt32(startPos + 1);
        if (!first || *first < 1)
            throw TestFailed{};
        text = dropChars(text, *first - 1);
    }

    std::vector<std::pair<size_t, size_t>> matches;
    if (!engine->execute(text, matches))
        throw TestFailed{};
    auto value = [&](size_t i) { return std::string(text.substr(matches[i].first, matches[i].second)); };

    if (controls.matchText == "0") {
        std::string joined;
        for (size_t i = 0; i < matches.size(); ++i)
            joined += value(i);
        return joined;
    }
    if (controls.matchText == "-1") {
        if (matches.empty())
            throw TestFailed{};
        return value(matches.size() - 1);
    }
    const double n = leadingNumber(controls.matchText);
    if (n > static_cast<double>(matches.size()))
        return {};
    auto index = toInt32(n - 1);
    if (!index || *index < 0 || static_cast<size_t>(*index) >= matches.size())
        throw TestFailed{};
    return value(static_cast<size_t>(*index));
}

}  // namespace

void TestRegExp(ProgramState& state, Host& host, const FilterTestControls& controls)
{
    try {
        std::optional<std::string> answer = host.inputBox(kTestPrompt, state.appName, state.sFilterTestBackup);
        std::string testText = answer ? *answer : std::string();
        if (testText.size() >= 5) {
            std::string head = testText.substr(0, 5);
            for (char& c : head)
                if (c >= 'A' && c <= 'Z')
                    c = static_cast<char>(c - 'A' + 'a');
            if (head == "line=")
                testText = sourceBoxEntry(state, leadingNumber(std::string_view(testText).substr(5)));
        }
        if (trimBlanks(testText).empty())
            return;
        state.sFilterTestBackup = testText;

        std::string result = runFilterTest(testText, controls);
        host.messageBox(kTestResult + (result.empty() ? std::string(kTestEmpty) : result), mb::Information);
    } catch (const TestFailed&) {
        host.messageBox(kTestFailed, mb::Critical);
    } catch (const std::exception&) {
        // A list that cannot give its entry (released texts), memory.
        host.messageBox(kTestFailed, mb::Critical);
    }
}

}  // namespace quillow
