// The streaming reader must split exactly as the in-memory scan does, at any
// block size, so that the save's line numbers address the scanned lines.
#include <gtest/gtest.h>

#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "engine/line_reader.h"
#include "support/temp_dir.h"

namespace quillow {
namespace {

using testing::TempDir;

std::vector<std::string> splitInMemory(const std::string& bytes, LineEnds ends)
{
    std::vector<std::string> lines;
    forEachLine(bytes, ends, [&](size_t b, size_t n) { lines.emplace_back(bytes.substr(b, n)); });
    return lines;
}

std::vector<std::string> splitStreaming(const std::string& path, LineEnds ends, size_t block)
{
    LineReader reader(ends, block);
    EXPECT_TRUE(reader.open(path));
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line))
        lines.emplace_back(line);
    EXPECT_FALSE(reader.failed());
    return lines;
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
        std::string path = dir.write("f", row.bytes);
        for (LineEnds ends : {LineEnds::CR, LineEnds::LF})
            for (size_t block : {1, 2, 3, 8, 4096})
                EXPECT_EQ(splitStreaming(path, ends, block), splitInMemory(row.bytes, ends))
                    << row.name << " block " << block;
    }
}

TEST(LineReader, RandomTextAgreesWithTheScan)
{
    std::mt19937 rng(12345);
    const char alphabet[] = {'a', 'b', '\r', '\n', ' '};
    TempDir dir;
    for (int round = 0; round < 200; ++round) {
        std::string bytes(rng() % 64, ' ');
        for (char& c : bytes)
            c = alphabet[rng() % sizeof alphabet];
        std::string path = dir.write("r", bytes);
        LineEnds ends = detectLineEnds(bytes);
        size_t block = 1 + rng() % 9;
        ASSERT_EQ(splitStreaming(path, ends, block), splitInMemory(bytes, ends)) << "round " << round;
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
    LineReader reader(LineEnds::LF, 16, &failingRead);
    ASSERT_TRUE(reader.open(dir.write("f", "a\nb\n")));
    std::string_view line;
    EXPECT_FALSE(reader.next(line));
    EXPECT_TRUE(reader.failed());
    EXPECT_EQ(reader.error(), EIO);
}

TEST(LineReader, MissingFileDoesNotOpen)
{
    TempDir dir;
    LineReader reader(LineEnds::LF);
    EXPECT_FALSE(reader.open(dir.file("absent")));
    std::string_view line;
    EXPECT_FALSE(reader.next(line));
}

}  // namespace
}  // namespace quillow
