#include "FileStatus.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tallyglass;

TEST(AbsolutePath, ResolvesRelativePathsAndNormalisesByTextAlone)
{
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(AbsolutePath("a.txt"), cwd + "/a.txt");
    EXPECT_EQ(AbsolutePath("./x/../a.txt"), cwd + "/a.txt");
    EXPECT_EQ(AbsolutePath("/a//b/./c"), "/a/b/c");
    EXPECT_EQ(AbsolutePath("/a/b/../../.."), "/");
    EXPECT_EQ(AbsolutePath("/../x"), "/x");
}

TEST(StatxFileSystem, OnlyRegularFilesAreFiles)
{
    TempFolder folder;
    StatxFileSystem fs;
    const std::string file = folder.write("f", "1");
    const std::string fifo = (folder.path() / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string link = (folder.path() / "link").string();
    ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
    const std::string dangling = (folder.path() / "dangling").string();
    ASSERT_EQ(symlink("/nonexistent/target", dangling.c_str()), 0);

    EXPECT_TRUE(fs.FileExists(file));
    EXPECT_TRUE(fs.FileExists(link));
    EXPECT_FALSE(fs.FileExists(fifo));
    EXPECT_FALSE(fs.FolderExists(fifo));
    EXPECT_FALSE(fs.FileExists("/dev/null"));
    EXPECT_FALSE(fs.FileExists(dangling));
    EXPECT_FALSE(fs.FileExists(folder.path().string()));
    EXPECT_TRUE(fs.FolderExists(folder.path().string()));
    EXPECT_FALSE(fs.FileExists(""));
    EXPECT_FALSE(fs.FolderExists(""));
}

TEST(StatxFileSystem, StatusOfAFileReachedThroughALink)
{
    TempFolder folder;
    StatxFileSystem fs;
    const std::string file = folder.write("target.bin", std::string(1234, 'x'));
    const std::string link = (folder.path() / "alias.bin").string();
    ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
    const struct timespec times[2] = {{1600000000, 0}, {1500000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);

    auto status = fs.GetFile(link);
    ASSERT_TRUE(std::holds_alternative<FileObject>(status));
    const FileObject& f = std::get<FileObject>(status);
    // The link is named as the user named it; its target supplies size and times.
    EXPECT_EQ(f.Name, "alias.bin");
    EXPECT_EQ(f.Path, link);
    EXPECT_EQ(f.Size, 1234u);
    EXPECT_EQ(f.DateLastAccessed.time_since_epoch().count(), 1600000000);
    EXPECT_EQ(f.DateLastModified.time_since_epoch().count(), 1500000000);
    if (f.DateCreated) { // only where the file system records a birth time
        EXPECT_GT(f.DateCreated->time_since_epoch().count(), 1600000000);
    }

    auto gone = fs.GetFile((folder.path() / "gone").string());
    ASSERT_TRUE(std::holds_alternative<FileStatusError>(gone));
    EXPECT_EQ(std::get<FileStatusError>(gone).reason, "No such file or directory");
}

TEST(StatxFileSystem, NanosecondStampsBesideTheWholeSecondsTheWindowShows)
{
    TempFolder folder;
    StatxFileSystem fs;
    const std::string file = folder.write("ns.bin", "x");
    // Before 1970 the whole second is the one below the instant, never the one above it.
    const struct timespec times[2] = {{1600000000, 123456789}, {-2, 999999999}};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);

    auto status = fs.GetFile(file);
    ASSERT_TRUE(std::holds_alternative<FileObject>(status));
    const FileObject& f = std::get<FileObject>(status);
    EXPECT_EQ(f.LastAccessedExact.time_since_epoch().count(), 1600000000123456789);
    EXPECT_EQ(f.DateLastAccessed.time_since_epoch().count(), 1600000000);
    EXPECT_EQ(f.LastModifiedExact.time_since_epoch().count(), -1000000001);
    EXPECT_EQ(f.DateLastModified.time_since_epoch().count(), -2);
    EXPECT_EQ(f.CreatedExact.has_value(), f.DateCreated.has_value());
    if (f.CreatedExact) {
        EXPECT_EQ(std::chrono::floor<std::chrono::seconds>(*f.CreatedExact), *f.DateCreated);
    }
}

// The status FileExists read serves the GetFile straight after it for the same path, and only
// that one: a later call, or one for another path, reads the status afresh.
TEST(StatxFileSystem, GetFileAfterFileExistsServesThatStatusOnce)
{
    TempFolder folder;
    StatxFileSystem fs;
    const std::string file = folder.write("grows.bin", "12");
    const std::string other = folder.write("other.bin", "12345");
    const auto sizeOf = [&fs](const std::string& path) {
        const auto status = fs.GetFile(path);
        return std::holds_alternative<FileObject>(status) ? std::get<FileObject>(status).Size : ~0ull;
    };

    ASSERT_TRUE(fs.FileExists(file));
    folder.write("grows.bin", "1234");
    EXPECT_EQ(sizeOf(file), 2u);
    EXPECT_EQ(sizeOf(file), 4u);
    ASSERT_TRUE(fs.FileExists(file));
    EXPECT_EQ(sizeOf(other), 5u);
    EXPECT_EQ(sizeOf(file), 4u);
    // A folder's question in between leaves nothing for GetFile to take.
    ASSERT_TRUE(fs.FileExists(file));
    EXPECT_FALSE(fs.FolderExists(file));
    folder.write("grows.bin", "123456");
    EXPECT_EQ(sizeOf(file), 6u);
}
