#include "engine/text/legacy_guess.h"

#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ucsdet.h>
#include <unicode/uscript.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace quillow {

namespace {

void countFault(const void* context, UConverterToUnicodeArgs*, const char*, int32_t, UConverterCallbackReason reason,
                UErrorCode* err)
{
    if (reason > UCNV_IRREGULAR)
        return;
    ++*static_cast<int64_t*>(const_cast<void*>(context));
    *err = U_ZERO_ERROR;
}

// How a sample reads in an encoding: its faults, and what its characters
// beyond ASCII are.
struct Reading {
    bool opened = false;
    int64_t faults = 0;       // byte sequences invalid or unmapped in the encoding
    int64_t foreign = 0;      // C1 controls, unassigned and private-use code points
    int64_t beyondAscii = 0;  // characters past U+007F
    int64_t han = 0;          // ideographs
    int64_t kana = 0;         // hiragana and full-width katakana
    int64_t hangul = 0;
    int64_t marks = 0;        // punctuation, symbols, numbers, spaces, full-width ASCII
    // Ideographs, kana and Hangul next to another character beyond ASCII.
    // CJK text runs them together; Latin text read in a CJK encoding gives
    // one for an accented letter and the ASCII letter after it, alone.
    int64_t inRuns = 0;

    bool clean() const { return opened && faults == 0 && foreign == 0; }
    // At least nine in ten of the characters beyond ASCII are of the kinds
    // counted, and CJK characters stand mostly in runs.
    bool mostly(int64_t count) const
    {
        return beyondAscii > 0 && count * 10 >= beyondAscii * 9 && inRuns * 2 >= han + kana + hangul;
    }

    void add(UChar32 c)
    {
        const bool beyond = c >= 0x80;
        bool cjk = false;
        if (beyond) {
            ++beyondAscii;
            const auto type = static_cast<UCharCategory>(u_charType(c));
            UErrorCode err = U_ZERO_ERROR;
            if (c <= 0x9F || type == U_UNASSIGNED || type == U_PRIVATE_USE_CHAR) {
                ++foreign;
            } else if (u_hasBinaryProperty(c, UCHAR_IDEOGRAPHIC)) {
                ++han;
                cjk = true;
            } else if (c >= 0x3040 && c <= 0x30FF) {
                ++kana;
                cjk = true;
            } else if (uscript_getScript(c, &err) == USCRIPT_HANGUL) {
                ++hangul;
                cjk = true;
            } else if ((c >= 0xFF01 && c <= 0xFF5E) || (U_GET_GC_MASK(c) & (U_GC_P_MASK | U_GC_S_MASK | U_GC_Z_MASK |
                                                                             U_GC_NL_MASK | U_GC_NO_MASK))) {
                ++marks;
            }
        }
        inRuns += (beyond && previousAlone_) + (cjk && previousBeyond_);
        previousAlone_ = cjk && !previousBeyond_;
        previousBeyond_ = beyond;
    }

private:
    bool previousBeyond_ = false;
    bool previousAlone_ = false;  // a CJK character without one beyond ASCII before it
};

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};

Reading readIn(const Encoding& encoding, std::string_view sample)
{
    Reading r;
    UErrorCode err = U_ZERO_ERROR;
    std::unique_ptr<UConverter, ConverterCloser> cnv(ucnv_open(encoding.converterName().c_str(), &err));
    ucnv_setToUCallBack(cnv.get(), countFault, &r.faults, nullptr, nullptr, &err);
    if (U_FAILURE(err))
        return r;
    // No byte gives more than one unit, but a four-byte sequence gives two.
    std::u16string text(sample.size() + 16, u'\0');
    UChar* target = text.data();
    const char* source = sample.data();
    ucnv_toUnicode(cnv.get(), &target, text.data() + text.size(), &source, sample.data() + sample.size(), nullptr, true,
                   &err);
    if (U_FAILURE(err))
        return r;
    r.opened = true;
    const auto n = static_cast<int32_t>(target - text.data());
    for (int32_t i = 0; i < n;) {
        UChar32 c;
        U16_NEXT(text.data(), i, n, c);
        r.add(c);
    }
    return r;
}

// The share of the multi-byte characters of EUC-style bytes (GB18030,
// UHC) outside the rows of the national standard: lead A1 to lastLead, trail
// A1-FE. Simplified Chinese keeps to GB2312's (A1-F7), Korean mostly to KS X
// 1001's (A1-FE); Big5 text has a trail below A1 in about two characters of
// five, Shift_JIS text leads below A1.
double outsideEucRows(std::string_view sample, unsigned char lastLead)
{
    int64_t doubles = 0, outside = 0;
    for (size_t i = 0; i + 1 < sample.size();) {
        const auto lead = static_cast<unsigned char>(sample[i]);
        const auto trail = static_cast<unsigned char>(sample[i + 1]);
        if (lead < 0x81 || lead == 0xFF) {
            ++i;
            continue;
        }
        const bool four = trail >= 0x30 && trail <= 0x39;
        ++doubles;
        outside += four || lead < 0xA1 || lead > lastLead || trail < 0xA1;
        i += four ? 4 : 2;
    }
    return doubles == 0 ? 0.0 : static_cast<double>(outside) / static_cast<double>(doubles);
}

// The share of two-byte characters whose lead byte passes common: the rows
// of symbols and common ideographs (GB2312's A1-A9 and B0-D7 with its 3,755
// common ones, Big5's A1-C6 with its 5,401) hold most of any Chinese text,
// while Cyrillic read in either (lower case is E0-FF) lands among the rare ones.
template <typename Common>
double commonRows(std::string_view sample, Common common)
{
    int64_t doubles = 0, inCommon = 0;
    for (size_t i = 0; i + 1 < sample.size(); ++i) {
        const auto lead = static_cast<unsigned char>(sample[i]);
        if (lead < 0x81)
            continue;
        ++doubles;
        inCommon += common(lead);
        ++i;
    }
    return doubles == 0 ? 0.0 : static_cast<double>(inCommon) / static_cast<double>(doubles);
}

// Chinese read as Korean gives this many Hangul syllables and next to no
// ideographs only by a chance too small to count.
constexpr int64_t kPlainlyKorean = 20;

size_t bytesBeyondAscii(std::string_view sample)
{
    return static_cast<size_t>(std::count_if(sample.begin(), sample.end(), [](char c) { return c & 0x80; }));
}

struct Candidate {
    std::string name;  // as ICU's detector names it
    Encoding encoding;
    Reading reading;
    bool ranked;  // by ICU's detector (the others are the CJK encodings added)
};

// ICU's legacy candidates in its order, then the CJK encodings it did not name.
std::vector<Candidate> candidatesFor(std::string_view sample)
{
    std::vector<Candidate> out;
    auto add = [&](const char* name, bool ranked) {
        EncodingLookup found = encodingNamed(name);
        if (!found.encoding || found.encoding->form() != EncodingForm::Legacy)
            return;
        for (const Candidate& c : out)
            if (c.encoding == *found.encoding)
                return;
        Reading reading = readIn(*found.encoding, sample);
        out.push_back(Candidate{name, std::move(*found.encoding), reading, ranked});
    };
    UErrorCode err = U_ZERO_ERROR;
    std::unique_ptr<UCharsetDetector, void (*)(UCharsetDetector*)> detector(ucsdet_open(&err), &ucsdet_close);
    if (U_SUCCESS(err)) {
        ucsdet_setText(detector.get(), sample.data(), static_cast<int32_t>(sample.size()), &err);
        int32_t count = 0;
        const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &count, &err);
        for (int32_t i = 0; U_SUCCESS(err) && i < count; ++i) {
            UErrorCode nameErr = U_ZERO_ERROR;
            const char* name = ucsdet_getName(matches[i], &nameErr);
            if (U_SUCCESS(nameErr) && name)
                add(name, true);
        }
    }
    for (const char* name : {"GB18030", "Big5", "Shift_JIS", "EUC-JP", "EUC-KR", "windows-949"})
        add(name, false);
    return out;
}

const Candidate* named(const std::vector<Candidate>& all, std::string_view name)
{
    for (const Candidate& c : all)
        if (c.name == name)
            return &c;
    return nullptr;
}

// The first of the named encodings that reads the sample cleanly and as fits says.
template <typename Fits>
const Candidate* firstFitting(const std::vector<Candidate>& all, std::initializer_list<const char*> names, Fits fits)
{
    for (const char* name : names)
        if (const Candidate* c = named(all, name); c && c->reading.clean() && fits(c->reading))
            return c;
    return nullptr;
}

// Chinese read in a Chinese encoding: ideographs and punctuation, no kana or Hangul.
bool readsAsChinese(const Reading& r) { return r.kana == 0 && r.hangul == 0 && r.mostly(r.han + r.marks); }

// Most two-byte characters in GB2312's rows of symbols and of the 3,755
// common ideographs.
bool inCommonGb2312Rows(std::string_view sample)
{
    return commonRows(sample, [](unsigned char lead) { return lead <= 0xA9 || (lead >= 0xB0 && lead <= 0xD7); }) >= 0.5;
}

// Korean read in EUC-KR (or UHC), with at least minHangul syllables. Korean
// is nearly all Hangul; Chinese read as EUC-KR gives ideographs for a third
// of its characters or more, though a line or two may give none. UHC reads
// almost any two bytes as Hangul: only text mostly in KS X 1001's rows is
// taken for it.
const Candidate* korean(const std::vector<Candidate>& all, std::string_view sample, int64_t minHangul)
{
    auto fits = [&](const Reading& r) {
        return r.hangul >= minHangul && r.mostly(r.hangul + r.han + r.marks) && r.hangul * 2 >= r.beyondAscii &&
               r.hangul * 10 >= (r.hangul + r.han) * 9;
    };
    if (const Candidate* c = firstFitting(all, {"EUC-KR"}, fits))
        return c;
    return outsideEucRows(sample, 0xFE) <= 0.1 ? firstFitting(all, {"windows-949"}, fits) : nullptr;
}

// Japanese has kana (Chinese read as Shift_JIS gives half-width katakana instead).
const Candidate* japaneseWithKana(const std::vector<Candidate>& all)
{
    return firstFitting(all, {"Shift_JIS", "EUC-JP"},
                        [](const Reading& r) { return r.kana > 0 && r.mostly(r.han + r.kana + r.marks); });
}

// A CJK encoding in which the sample reads as its script, or null; kana
// is looked for first.
const Candidate* byScript(const std::vector<Candidate>& all, std::string_view sample)
{
    if (const Candidate* c = korean(all, sample, 0))
        return c;
    // Chinese: GB18030 first unless the bytes leave GB2312 as Big5 does.
    const double outside = outsideEucRows(sample, 0xF7);
    auto gb = [&](const Reading& r) { return outside <= 0.5 && readsAsChinese(r) && inCommonGb2312Rows(sample); };
    auto big5 = [&](const Reading& r) {
        return readsAsChinese(r) &&
               commonRows(sample, [](unsigned char lead) { return lead >= 0xA1 && lead <= 0xC6; }) >= 0.5;
    };
    if (outside > 0.15) {
        if (const Candidate* c = firstFitting(all, {"Big5"}, big5))
            return c;
    }
    if (const Candidate* c = firstFitting(all, {"GB18030"}, gb))
        return c;
    if (const Candidate* c = firstFitting(all, {"Big5"}, big5))
        return c;
    // Japanese names and terms without kana, in the rows of the common kanji
    // (JIS level 1: Shift_JIS leads 81-9F, EUC-JP A1-A8 and B0-CF).
    auto kanji = [](const Reading& r) { return r.mostly(r.han + r.marks); };
    if (commonRows(sample, [](unsigned char lead) { return lead <= 0x9F; }) >= 0.5) {
        if (const Candidate* c = firstFitting(all, {"Shift_JIS"}, kanji))
            return c;
    }
    if (commonRows(sample, [](unsigned char lead) { return lead <= 0xA8 || (lead >= 0xB0 && lead <= 0xCF); }) >= 0.5)
        return firstFitting(all, {"EUC-JP"}, kanji);
    return nullptr;
}

bool singleByte(const Encoding& encoding)
{
    UErrorCode err = U_ZERO_ERROR;
    std::unique_ptr<UConverter, ConverterCloser> cnv(ucnv_open(encoding.converterName().c_str(), &err));
    return U_SUCCESS(err) && ucnv_getMaxCharSize(cnv.get()) == 1;
}

}  // namespace

std::optional<Encoding> guessLegacyEncoding(std::string_view sample, bool chineseLocale)
{
    const std::vector<Candidate> all = candidatesFor(sample);
    if (const Candidate* c = japaneseWithKana(all))
        return c->encoding;
    // Under a Chinese locale GB18030 takes what it reads as Chinese: a short
    // sample at once unless it is plainly Korean (too little to tell it from
    // Big5 or Japanese without kana), any other rather than a single-byte
    // encoding.
    const Candidate* gb = named(all, "GB18030");
    const bool gbChinese = chineseLocale && gb && gb->reading.clean() && readsAsChinese(gb->reading) &&
                           inCommonGb2312Rows(sample);
    if (gbChinese && bytesBeyondAscii(sample) < kShortSample) {
        const Candidate* plainlyKorean = korean(all, sample, kPlainlyKorean);
        return plainlyKorean ? plainlyKorean->encoding : gb->encoding;
    }
    if (const Candidate* c = byScript(all, sample))
        return c->encoding;
    // The detector's first candidate that reads the sample cleanly.
    for (const Candidate& c : all) {
        if (c.ranked && c.reading.clean())
            return gbChinese && singleByte(c.encoding) ? gb->encoding : c.encoding;
    }
    if (gbChinese)
        return gb->encoding;
    // None reads it cleanly: the fewest faults and foreign characters.
    const Candidate* best = nullptr;
    for (const Candidate& c : all)
        if (c.reading.opened && c.ranked &&
            (!best || c.reading.faults + c.reading.foreign < best->reading.faults + best->reading.foreign))
            best = &c;
    if (best)
        return best->encoding;
    return std::nullopt;
}

}  // namespace quillow
