// The streaming reader must split exactly as the in-memory scan does, at any
// block size, so that the save's line numbers address the scanned lines.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
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

std::vector<std::string> splitStreaming(const std::string& path, CodeUnit unit, LineEndMode mode, size_t block,
                                        bool ahead = false)
{
    LineReader reader(unit, mode, block);
    reader.setReadAhead(ahead);
    std::string seen;
    reader.onRead = [&seen](std::string_view bytes) { seen.append(bytes); };
    EXPECT_TRUE(reader.open(path));
    std::vector<std::string> lines;
    std::string_view line, end;
    std::string joined;
    while (reader.next(line, &end)) {
        lines.push_back(std::string(line) + "|" + std::string(end));
        joined.append(line).append(end);
    }
    EXPECT_FALSE(reader.failed());
    EXPECT_EQ(seen, joined) << "onRead saw every byte once, in order";
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
                    for (const bool ahead : {false, true})
                        EXPECT_EQ(splitStreaming(path, unit, mode, block, ahead), splitInMemory(bytes, unit, mode))
                            << row.name << " block " << block << (utf16 ? " utf-16" : "") << (ahead ? " ahead" : "");
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
        ASSERT_EQ(splitStreaming(path, CodeUnit::Byte, mode, block, round % 2 == 1),
                  splitInMemory(bytes, CodeUnit::Byte, mode))
            << "round " << round;
    }
}

ssize_t failingRead(int, void*, size_t)
{
    errno = EIO;
    return -1;
}

// Reads a few bytes, then fails.
ssize_t failingLater(int fd, void* buf, size_t count)
{
    static thread_local int calls = 0;
    if (++calls % 4 == 0) {
        errno = EIO;
        return -1;
    }
    return ::read(fd, buf, std::min<size_t>(count, 3));
}

TEST(LineReader, ReportsAReadError)
{
    TempDir dir;
    const std::string path = dir.write("f", "a\nb\ncc\ndd\nee\nff\ngg\nhh\n");
    for (const auto read : {&failingRead, &failingLater}) {
        for (const bool ahead : {false, true}) {
            LineReader reader(CodeUnit::Byte, LineEndMode::Lf, 2, read);
            reader.setReadAhead(ahead);
            ASSERT_TRUE(reader.open(path));
            std::string_view line;
            int lines = 0;
            while (reader.next(line))
                ++lines;
            EXPECT_TRUE(reader.failed());
            EXPECT_EQ(reader.error(), EIO);
            EXPECT_LE(lines, 4) << "no line after the failed read";
        }
    }
}

ssize_t noMemoryToRead(int, void*, size_t) { throw std::bad_alloc(); }

// What the reading thread throws reaches the caller, as it would unthreaded.
TEST(LineReader, PassesOnWhatTheReadThrows)
{
    TempDir dir;
    const std::string path = dir.write("f", std::string(64, 'x') + "\n");
    for (const bool ahead : {false, true}) {
        LineReader reader(CodeUnit::Byte, LineEndMode::Lf, 2, &noMemoryToRead);
        reader.setReadAhead(ahead);
        ASSERT_TRUE(reader.open(path));
        std::string_view line;
        EXPECT_THROW(reader.next(line), std::bad_alloc) << (ahead ? "ahead" : "here");
    }
}

// A reader let go in the middle stops its reading thread.
TEST(LineReader, StopsEarly)
{
    TempDir dir;
    std::string bytes;
    for (int i = 0; i < 2000; ++i)
        bytes += std::to_string(i) + "\n";
    const std::string path = dir.write("f", bytes);
    for (int lines = 0; lines < 50; lines += 7) {
        LineReader reader(CodeUnit::Byte, LineEndMode::Lf, 16);
        reader.setReadAhead(true);
        ASSERT_TRUE(reader.open(path));
        std::string_view line;
        for (int i = 0; i < lines; ++i) {
            ASSERT_TRUE(reader.next(line));
            EXPECT_EQ(line, std::to_string(i));
        }
    }
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
