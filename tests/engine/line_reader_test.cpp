// The streaming reader must split exactly as the in-memory scan does, at any
// block size, so that the save's line numbers address the scanned lines.
#include <gtest/gtest.h>

#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "engine/io/line_reader.h"
#include "support/temp_dir.h"

namespace quillow {
namespace {

using testing::TempDir;

// Each line with its end, as "text|end".
std::vector<std::string> splitInMemory(const std::string& bytes, CodeUnit unit, LineEndMode mode)
{
    std::vector<std::string> lines;
    splitLines(bytes, unit, mode, [&](size_t b, size_t n, size_t next) {
        lines.push_back(bytes.substr(b, n) + "|" + bytes.substr(b + n, next - b - n));
    });
    return lines;
}

std::vector<std::string> splitStreaming(const std::string& path, CodeUnit unit, LineEndMode mode, size_t block)
{
    LineReader reader(unit, mode, block);
    EXPECT_TRUE(reader.open(path));
    std::vector<std::string> lines;
    std::string_view line, end;
    while (reader.next(line, &end))
        lines.push_back(std::string(line) + "|" + std::string(end));
    EXPECT_FALSE(reader.failed());
    return lines;
}

// ASCII text as UTF-16LE.
std::string wide(const std::string& ascii)
{
    std::string out;
    for (char c : ascii)
        out += std::string{c, '\0'};
    return out;
}

TEST(LineReader, AgreesWithTheScanAtEveryBlockSize)
{
    struct Row {
        const char* name;
        std::string bytes;
    };
    const Row rows[] = {
        {"empty", ""},
        {"cr lf", "a\r\nb\r\nc\r\n"},
        {"lone cr", "a\rb\r\rc"},
        {"lone lf inside cr file", "a\nb\r\nc\n"},
        {"cr lf straddles", std::string(7, 'x') + "\r\n" + "y"},
        {"terminator only", "\r\n"},
        {"unix", "a\nb\n\nc"},
        {"cr at very end", "abc\r"},
        {"long line", std::string(100, 'q') + "\r\nz"},
    };
    TempDir dir;
    for (const Row& row : rows) {
        for (const bool utf16 : {false, true}) {
            const std::string bytes = utf16 ? wide(row.bytes) : row.bytes;
            const CodeUnit unit = utf16 ? CodeUnit::Utf16LE : CodeUnit::Byte;
            std::string path = dir.write("f", bytes);
            for (LineEndMode mode : {LineEndMode::Lf, LineEndMode::Cr})
                for (size_t block : {1, 2, 3, 8, 4096})
                    EXPECT_EQ(splitStreaming(path, unit, mode, block), splitInMemory(bytes, unit, mode))
                        << row.name << " block " << block << (utf16 ? " utf-16" : "");
        }
    }
}

TEST(LineReader, RandomTextAgreesWithTheScan)
{
    std::mt19937 rng(12345);
    const char alphabet[] = {'a', 'b', '\r', '\n', ' ', '"'};
    TempDir dir;
    for (int round = 0; round < 200; ++round) {
        std::string bytes(rng() % 64, ' ');
        for (char& c : bytes)
            c = alphabet[rng() % sizeof alphabet];
        std::string path = dir.write("r", bytes);
        const LineEndMode mode = lineEndMode(tallyLineEnds(bytes, CodeUnit::Byte));
        size_t block = 1 + rng() % 9;
        ASSERT_EQ(splitStreaming(path, CodeUnit::Byte, mode, block), splitInMemory(bytes, CodeUnit::Byte, mode))
            << "round " << round;
    }
}

ssize_t failingRead(int, void*, size_t)
{
    errno = EIO;
    return -1;
}

TEST(LineReader, ReportsAReadError)
{
    TempDir dir;
    LineReader reader(CodeUnit::Byte, LineEndMode::Lf, 16, &failingRead);
    ASSERT_TRUE(reader.open(dir.write("f", "a\nb\n")));
    std::string_view line;
    EXPECT_FALSE(reader.next(line));
    EXPECT_TRUE(reader.failed());
    EXPECT_EQ(reader.error(), EIO);
}

TEST(LineReader, MissingFileDoesNotOpen)
{
    TempDir dir;
    LineReader reader(CodeUnit::Byte, LineEndMode::Lf);
    EXPECT_FALSE(reader.open(dir.file("absent")));
    std::string_view line;
    EXPECT_FALSE(reader.next(line));
}

}  // namespace
}  // namespace quillow
