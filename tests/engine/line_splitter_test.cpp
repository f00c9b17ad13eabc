// Line ends decide which lines exist, which are duplicates and what the
// cleaned file holds, in every code unit width.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/text/line_splitter.h"

namespace quillow {
namespace {

using namespace std::string_literals;

const CodeUnit kUnits[] = {CodeUnit::Byte, CodeUnit::Utf16LE, CodeUnit::Utf16BE, CodeUnit::Utf32LE, CodeUnit::Utf32BE};

// ASCII text written in the unit's encoding.
std::string widen(std::string_view ascii, CodeUnit unit)
{
    std::string out;
    const size_t w = unitWidth(unit);
    const bool big = unit == CodeUnit::Utf16BE || unit == CodeUnit::Utf32BE;
    for (char c : ascii) {
        std::string u(w, '\0');
        u[big ? w - 1 : 0] = c;
        out += u;
    }
    return out;
}

struct Line {
    std::string text, end;
    bool operator==(const Line&) const = default;
};

std::vector<Line> split(std::string_view bytes, CodeUnit unit, LineEndMode mode)
{
    std::vector<Line> lines;
    splitLines(bytes, unit, mode, [&](size_t b, size_t n, size_t next) {
        lines.push_back({std::string(bytes.substr(b, n)), std::string(bytes.substr(b + n, next - b - n))});
    });
    return lines;
}

TEST(LineSplitter, MajorityDecidesAndEveryUnitWidthAgrees)
{
    struct Row {
        const char* name;
        std::string bytes;
        LineEndMode mode;
        std::vector<Line> lines;
    };
    using M = LineEndMode;
    const Row rows[] = {
        {"empty", "", M::Lf, {}},
        {"no line end", "only", M::Lf, {{"only", ""}}},
        {"lone LFs outnumber", "a\r\nb\nc\n", M::Lf, {{"a", "\r\n"}, {"b", "\n"}, {"c", "\n"}}},
        {"tie is LF mode, lone CR is text", "a\rb\nc", M::Lf, {{"a\rb", "\n"}, {"c", ""}}},
        {"only one CR joins the end", "a\r\r\nb\nc\n", M::Lf, {{"a\r", "\r\n"}, {"b", "\n"}, {"c", "\n"}}},
        {"empty lines", "\n\n", M::Lf, {{"", "\n"}, {"", "\n"}}},
        {"CR majority is CR mode, a lone LF ends a line too", "a\r\nb\r\nc\n", M::Cr,
         {{"a", "\r\n"}, {"b", "\r\n"}, {"c", "\n"}}},
        {"lone CRs", "x\r\ry\r", M::Cr, {{"x", "\r"}, {"", "\r"}, {"y", "\r"}}},
        {"CR LF file with an LF file appended", "one\r\ntwo\r\nthree\r\nfour\r\none\ntwo\nthree\n", M::Cr,
         {{"one", "\r\n"}, {"two", "\r\n"}, {"three", "\r\n"}, {"four", "\r\n"}, {"one", "\n"}, {"two", "\n"}, {"three", "\n"}}},
        {"lone CR and lone LF", "x\ry\rz\nw\r", M::Cr, {{"x", "\r"}, {"y", "\r"}, {"z", "\n"}, {"w", "\r"}}},
        {"cell with a line break", "h\r\n\"c\nd\"\r\nz\r\n", M::Cr, {{"h", "\r\n"}, {"\"c\nd\"", "\r\n"}, {"z", "\r\n"}}},
        {"doubled quotes inside a cell", "a,\"x \"\"q\"\"\ny\"\r\nb\r\n", M::Cr,
         {{"a,\"x \"\"q\"\"\ny\"", "\r\n"}, {"b", "\r\n"}}},
        {"closed quotes, then a line break", "\"a\",b\nc\r\nd\r\n", M::Cr, {{"\"a\",b", "\n"}, {"c", "\r\n"}, {"d", "\r\n"}}},
        {"a quote that never closes ends at CR", "\"open\nstill\r\nb\nc\r\nd\r\n", M::Cr,
         {{"\"open\nstill", "\r\n"}, {"b", "\n"}, {"c", "\r\n"}, {"d", "\r\n"}}},
        {"quotes count in LF mode for nothing", "\"a\nb\"\n", M::Lf, {{"\"a", "\n"}, {"b\"", "\n"}}},
    };
    for (const Row& row : rows) {
        for (CodeUnit unit : kUnits) {
            const std::string bytes = widen(row.bytes, unit);
            const LineEndTally tally = tallyLineEnds(bytes, unit);
            ASSERT_EQ(lineEndMode(tally), row.mode) << row.name;
            std::vector<Line> want;
            for (const Line& l : row.lines)
                want.push_back({widen(l.text, unit), widen(l.end, unit)});
            EXPECT_EQ(split(bytes, unit, row.mode), want) << row.name << " unit " << int(unit);
            EXPECT_EQ(lineCount(bytes, unit, row.mode, tally), static_cast<int64_t>(want.size())) << row.name;
        }
    }
}

TEST(LineSplitter, OnlyWholeUnitsEndLines)
{
    // U+0D0A and U+0A0D hold the bytes of LF and CR; U+2028 is no line end.
    const std::string le = "a\0\x0A\x0D" "b\0\n\0\x0D\x0A\x28\x20\n\0z"s;
    EXPECT_EQ(split(le, CodeUnit::Utf16LE, LineEndMode::Lf),
              (std::vector<Line>{{"a\0\x0A\x0D" "b\0"s, "\n\0"s}, {"\x0D\x0A\x28\x20"s, "\n\0"s}, {"z", ""}}));
    // An incomplete unit at the end belongs to the last line.
    EXPECT_EQ(split("\0a\0\n\x0A"s, CodeUnit::Utf16BE, LineEndMode::Lf),
              (std::vector<Line>{{"\0a"s, "\0\n"s}, {"\x0A", ""}}));
}

TEST(LineSplitter, HalvesAndStreamedBlocksSplitAsTheWhole)
{
    std::mt19937 rng(2024);
    const char alphabet[] = {'a', 'b', '\r', '\n', '"', '\0'};
    for (int round = 0; round < 300; ++round) {
        // Every third round in NUL mode (-z), where CR and LF are text.
        const bool nul = round % 3 == 0;
        std::string ascii(rng() % 80, ' ');
        for (char& c : ascii)
            c = alphabet[rng() % (nul ? 6 : 5)];
        const CodeUnit unit = kUnits[round % 5];
        std::string bytes = widen(ascii, unit);
        if (round % 7 == 0)
            bytes += 'x';  // an incomplete unit (a whole one in bytes)
        const LineEndMode mode = nul ? LineEndMode::Nul : lineEndMode(tallyLineEnds(bytes, unit));
        const std::vector<Line> whole = split(bytes, unit, mode);

        const LineLayout layout = nul ? layOutNulLines(bytes, unit, true) : layOutLines(bytes, unit, true);
        ASSERT_EQ(layout.mode, mode);
        const std::string_view all = bytes;
        std::vector<Line> first = split(all.substr(0, layout.at), unit, mode);
        std::vector<Line> second = split(all.substr(layout.at), unit, mode);
        EXPECT_EQ(static_cast<int64_t>(first.size()), layout.firstCount) << "round " << round;
        first.insert(first.end(), second.begin(), second.end());
        EXPECT_EQ(first, whole) << "round " << round;
        EXPECT_EQ(layout.total, static_cast<int64_t>(whole.size()));

        // Fed in blocks of any size, as a reader of the file would.
        const size_t block = 1 + rng() % 9;
        std::vector<Line> streamed;
        std::string pending;
        for (size_t at = 0; at <= bytes.size(); at += block) {
            pending += bytes.substr(at, block);
            const bool final = at + block > bytes.size();
            const size_t used = splitLines(pending, unit, mode, [&](size_t b, size_t n, size_t next) {
                streamed.push_back({pending.substr(b, n), pending.substr(b + n, next - b - n)});
            }, final);
            pending.erase(0, used);
        }
        EXPECT_EQ(streamed, whole) << "round " << round << " block " << block;
    }
}

TEST(LineSplitter, WritingEveryLineBackKeepsLfFilesAndGivesCrLfInCrMode)
{
    for (CodeUnit unit : kUnits) {
        const std::string lf = widen("a\r\nb\nc\rd\ne", unit);
        const std::string cr = widen("a\r\nb\rc\nd\r\"e\nf\"", unit);
        for (const std::string* file : {&lf, &cr}) {
            const LineEndMode mode = lineEndMode(tallyLineEnds(*file, unit));
            std::string out;
            for (const Line& l : split(*file, unit, mode))
                out += l.text + std::string(lineEndToWrite(unit, mode, l.end));
            EXPECT_EQ(out, file == &lf ? lf + widen("\n", unit) : widen("a\r\nb\r\nc\nd\r\n\"e\nf\"\r\n", unit));
        }
        // NUL mode: each line keeps its own end; a last line gets NUL.
        const std::string nul = widen("a\r\n\0b"s, unit);
        std::string out;
        for (const Line& l : split(nul, unit, LineEndMode::Nul))
            out += l.text + std::string(lineEndToWrite(unit, LineEndMode::Nul, l.end));
        EXPECT_EQ(out, widen("a\r\n\0b\0"s, unit));
    }
}

}  // namespace
}  // namespace quillow
