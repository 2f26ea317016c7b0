#include "ByteSource.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <thread>
#include <vector>

namespace tallyglass {
namespace {

std::string readOf(const ByteSource& source, std::uint64_t offset, std::size_t length, bool& ok)
{
    std::vector<std::byte> bytes(length);
    ok = source.readAt(offset, bytes);
    return std::string(reinterpret_cast<const char*>(bytes.data()), ok ? length : 0);
}

// The first bytes, which every reader looks at, are read once and served from memory; reads
// that reach past them go to the file. Either way the same bytes come back, the bounds hold
// and the count is of the bytes handed over.
TEST(FileSource, ReadsAgreeWithTheFileInsideAcrossAndPastItsFirstBytes)
{
    TempFolder folder;
    for (const std::size_t size : {std::size_t(0), std::size_t(100), std::size_t(4096), std::size_t(10000)}) {
        const std::string file = folder.writeRandom("f" + std::to_string(size), size, unsigned(size));
        std::string bytes(size, '\0');
        std::ifstream(file, std::ios::binary).read(bytes.data(), std::streamsize(size));
        const auto source = FileSource::open(file);
        ASSERT_TRUE(source);
        EXPECT_EQ(source->size(), size);
        struct Read {
            std::uint64_t offset;
            std::size_t length;
        };
        const Read reads[] = {{0, 5}, {0, 512}, {4095, 1}, {4090, 10}, {4096, 100}, {0, 4096}, {9000, 1000},
                              {size, 0}, {0, size}, {size, 1}};
        std::uint64_t handed = 0;
        for (const Read& r : reads) {
            bool ok = false;
            const std::string got = readOf(*source, r.offset, r.length, ok);
            const bool inside = r.offset <= size && r.length <= size - r.offset;
            EXPECT_EQ(ok, inside) << size << " at " << r.offset << " for " << r.length;
            if (inside) {
                EXPECT_EQ(got, bytes.substr(std::size_t(r.offset), r.length)) << size << " at " << r.offset;
                handed += r.length;
            }
        }
        EXPECT_EQ(source->bytesRead(), handed) << size;
    }
}

TEST(FileSource, ServesOnlyRegularFiles)
{
    TempFolder folder;
    const std::string fifo = (folder.path() / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A FIFO with no writer opens without blocking and is refused.
    EXPECT_FALSE(FileSource::open(fifo));
    EXPECT_FALSE(FileSource::open(folder.path().string()));
    EXPECT_FALSE(FileSource::open((folder.path() / "missing").string()));
    struct stat st {};
    EXPECT_EQ(OpenForReading((folder.path() / "missing").string(), st), -1);
    EXPECT_EQ(errno, ENOENT);
}

// The latest open on a thread is remembered for its path alone, on that thread alone, and
// until it is asked for.
TEST(FileSource, LatestOpenOnThisThreadTellsWhatTheOpenMetOnce)
{
    TempFolder folder;
    const std::string file = folder.write("mine", "abc");
    const std::string missing = (folder.path() / "missing").string();
    // Our own file takes O_NOATIME.
    ASSERT_TRUE(FileSource::open(file));
    EXPECT_EQ(TakeLatestOpenOnThisThread(missing), std::nullopt);
    std::optional<NoAtime> elsewhere = NoAtime::Taken;
    std::thread([&] { elsewhere = TakeLatestOpenOnThisThread(file); }).join();
    EXPECT_EQ(elsewhere, std::nullopt);
    EXPECT_EQ(TakeLatestOpenOnThisThread(file), NoAtime::Taken);
    EXPECT_EQ(TakeLatestOpenOnThisThread(file), std::nullopt);

    struct stat st {};
    EXPECT_EQ(OpenForReading(missing, st), -1);
    EXPECT_EQ(TakeLatestOpenOnThisThread(file), std::nullopt);
    EXPECT_EQ(TakeLatestOpenOnThisThread(missing), NoAtime::NotOpened);
}

} // namespace
} // namespace tallyglass
