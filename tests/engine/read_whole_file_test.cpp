// Standard input read straight into the scan's buffer: a file behind it, a
// pipe of unknown size, one beyond the memory given, a stop while nothing
// arrives. A big file is mapped,
// and one that shrinks under the mapping reads as zeros instead of ending
// the program.
#include "engine/io/read_whole_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "engine/io/spill_file.h"
#include "support/temp_dir.h"

namespace quillow {
namespace {

std::string text(const BigVector<char>& bytes) { return std::string(bytes.data(), bytes.size()); }

TEST(ReadWholeStream, FilePipeAndStop)
{
    testing::TempDir dir;

    // A file read from where it stands (the reader before took "abc"), and
    // left at its end.
    int fd = ::open(dir.write("in.txt", "abcdef").c_str(), O_RDONLY);
    ASSERT_GE(::lseek(fd, 3, SEEK_SET), 0);
    auto bytes = readWholeStream(fd, {});
    ASSERT_TRUE(bytes);
    EXPECT_EQ(text(*bytes), "def");
    EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), 6);
    ::close(fd);

    // A pipe longer than the first buffer, written in pieces.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::string sent;
    for (int i = 0; sent.size() < (size_t{9} << 20); ++i)
        sent += "line " + std::to_string(i) + "\n";
    std::thread writer([&] {
        for (size_t at = 0; at < sent.size(); at += 100000)
            if (::write(fds[1], sent.data() + at, std::min<size_t>(100000, sent.size() - at)) < 0)
                break;
        ::close(fds[1]);
    });
    bytes = readWholeStream(fds[0], [] { return false; });
    writer.join();
    ::close(fds[0]);
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(text(*bytes) == sent);

    // Beyond the limit a stream is read no further; spoolStream copies what
    // was read and the rest, and a file behind it is left to spoolStream.
    ASSERT_EQ(::pipe(fds), 0);
    std::thread limited([&] {
        EXPECT_EQ(::write(fds[1], sent.data(), sent.size()), static_cast<ssize_t>(sent.size()));
        ::close(fds[1]);
    });
    bool complete = true;
    // Progress: the bytes in so far, growing, up to what was read or copied.
    std::vector<size_t> told;
    auto tell = [&](size_t have) { told.push_back(have); };
    bytes = readWholeStream(fds[0], {}, 1 << 20, &complete, tell);
    ASSERT_TRUE(bytes);
    EXPECT_FALSE(complete);
    EXPECT_LT(bytes->size(), sent.size());
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back(), bytes->size());
    SpillFile spool;
    EXPECT_TRUE(spoolStream(text(*bytes), fds[0], spool, {}, tell));
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_EQ(told.back(), sent.size());
    limited.join();
    ::close(fds[0]);
    std::string copied(spool.size(), '\0');
    spool.read(0, copied.data(), copied.size());
    EXPECT_TRUE(copied == sent);
    fd = ::open(dir.write("big.txt", sent).c_str(), O_RDONLY);
    bytes = readWholeStream(fd, {}, 100, &complete);
    EXPECT_FALSE(complete);
    EXPECT_TRUE(bytes && bytes->empty());
    EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), 0);
    ::close(fd);

    // Nothing arrives and the writer stays: a stop ends the wait.
    ASSERT_EQ(::pipe(fds), 0);
    int asked = 0;
    EXPECT_FALSE(readWholeStream(fds[0], [&] { return ++asked == 2; }));
    EXPECT_EQ(asked, 2);
    ::close(fds[0]);
    ::close(fds[1]);

    fd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
    EXPECT_THROW(readWholeStream(fd, {}), ReadError);
    ::close(fd);
}

TEST(ReadWholeFile, AMappedFileThatShrinksReadsAsZeros)
{
    testing::TempDir dir;
    const std::string big(3 << 20, 'x');
    const std::string path = dir.write("big.txt", big);
    FileBytes bytes = readWholeFile(path);
    ASSERT_TRUE(bytes.mapped());
    EXPECT_EQ(bytes.view(), big);
    EXPECT_FALSE(bytes.damaged());
    FileBytes small = readWholeFile(dir.write("small.txt", "a\nb\n"));
    EXPECT_FALSE(small.mapped());
    EXPECT_EQ(small.view(), "a\nb\n");

    ASSERT_EQ(::truncate(path.c_str(), 100), 0);
    const volatile char* p = bytes.data();
    EXPECT_EQ(p[2 << 20], '\0');
    EXPECT_EQ(p[50], 'x');
    EXPECT_TRUE(bytes.damaged());
    bytes = FileBytes();
    FileBytes again = readWholeFile(dir.write("again.txt", big));
    EXPECT_FALSE(again.damaged());
}

}  // namespace
}  // namespace quillow
