// Large files, laid out sparse so they take no disk space: what is read of them is bounded
// however large they are, and only files up to 64 MiB are searched for their objects.

#include "pdf/PdfBuilder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

using namespace tallyglass;
using namespace tallyglass::testing;

namespace {

// Writes the file's head at 0 and its tail so that the file is `size` bytes; the hole between
// reads as NULs, which PDF counts as white space.
std::string writeSparse(const std::string& name, const PdfFile& file, std::uint64_t size, bool breakXref)
{
    const std::string path = (std::filesystem::path(::testing::TempDir()) / name).string();
    const std::string head = file.head();
    // The table's offset is written in decimal, so the tail's length depends on where it lies.
    PdfFile sized = file;
    std::string tail = sized.tail(head.size());
    while (head.size() + sized.padding + tail.size() != size) {
        sized.padding = size - head.size() - tail.size();
        tail = sized.tail(head.size());
    }
    if (breakXref) {
        // The table's offset points at the trailer instead: the objects have to be found by a search.
        const auto at = tail.find("startxref\n") + 10;
        tail.replace(at, tail.find('\n', at) - at, std::to_string(size - tail.size() + tail.find("trailer")));
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::ftruncate(fd, off_t(size)), 0);
    EXPECT_EQ(::pwrite(fd, head.data(), head.size(), 0), ssize_t(head.size()));
    EXPECT_EQ(::pwrite(fd, tail.data(), tail.size(), off_t(size - tail.size())), ssize_t(tail.size()));
    ::close(fd);
    return path;
}

PdfFile fewPages()
{
    PdfFile file;
    file.objects = {Catalog(), "<< /Type /Pages /Kids [4 0 R 5 0 R 6 0 R] /Count 3 >>",
                    "<< /Title (Large) /Author (Bench) /CreationDate (D:20240101000000Z) >>", kPage, kPage, kPage};
    return file;
}

constexpr std::uint64_t kMiB = 1024 * 1024;

const PdfInfoEntry* infoEntry(const PdfObjects& objects, const std::string& key)
{
    for (const auto& entry : objects.info)
        if (entry.key == key)
            return &entry;
    return nullptr;
}

} // namespace

TEST(PdfLargeFile, GibibyteReadsUnderOneMebibyte)
{
    const auto path = writeSparse("large.pdf", fewPages(), 1024 * kMiB, false);
    const auto source = FileSource::open(path);
    ASSERT_TRUE(source);
    const auto read = ReadPdfDocument(*source);
    EXPECT_EQ(Text(read, FieldId::Title), "Large");
    EXPECT_EQ(Text(read, FieldId::PageCount), "3");
    EXPECT_EQ(Reasons(read), "");
    EXPECT_LT(source->bytesRead(), kMiB);
    std::filesystem::remove(path);
}

TEST(PdfLargeFile, DamagedFilesAreRebuiltUpTo64MiB)
{
    // Just at the cap the cross-reference table is rebuilt by a search of the whole file. The
    // search takes a second or more, so it is given all the time it needs here: the time cap
    // has a test of its own, and this one must not depend on the machine's speed.
    const auto atCap = writeSparse("damaged-64.pdf", fewPages(), 64 * kMiB, true);
    const auto small = FileSource::open(atCap);
    ASSERT_TRUE(small);
    ASSERT_EQ(small->size(), 64 * kMiB);
    const auto rebuilt = ReadPdfObjectsUntimed(*small);
    ASSERT_TRUE(infoEntry(rebuilt, "Author"));
    EXPECT_EQ(infoEntry(rebuilt, "Author")->bytes, "Bench");
    EXPECT_EQ(rebuilt.pages, 3);
    std::filesystem::remove(atCap);

    // One byte more and it is not: every field empty, and the reason.
    const auto overCap = writeSparse("damaged-64-plus.pdf", fewPages(), 64 * kMiB + 1, true);
    const auto large = FileSource::open(overCap);
    ASSERT_TRUE(large);
    ASSERT_EQ(large->size(), 64 * kMiB + 1);
    const auto refused = ReadPdfDocument(*large);
    EXPECT_TRUE(refused.opened);
    EXPECT_EQ(FilledCount(refused), 0u);
    ASSERT_EQ(refused.diagnostics.size(), 1u);
    EXPECT_EQ(refused.diagnostics[0].kind, DiagnosticKind::OverCap);
    EXPECT_NE(refused.diagnostics[0].detail.find("rebuilt only in files up to 64 MiB"), std::string::npos);
    EXPECT_LT(large->bytesRead(), kMiB);
    std::filesystem::remove(overCap);
}

TEST(PdfLargeFile, ReadingStopsAtItsDeadline)
{
    const std::string bytes = WithInfo("<< /Title (Late) >>").bytes();
    const MemorySource source(std::as_bytes(std::span(bytes.data(), bytes.size())));
    const auto late = ReadPdfObjects(SourceBytes(source), std::chrono::steady_clock::now());
    EXPECT_TRUE(late.info.empty());
    EXPECT_FALSE(late.pages);
    ASSERT_EQ(late.notes.size(), 1u);
    EXPECT_EQ(late.notes[0].detail, "reading stopped after 2.5 seconds; the values found until then are shown");
}
