// Files of 1 GiB (sparse, so they cost no disk): what is read of them is bounded by where the
// information group or the body begins, and never exceeds the first MiB.
#include "RtfFieldTexts.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace tallyglass::test {
namespace {

constexpr std::uint64_t kGiB = 1ULL << 30;
// The five bytes of "{\rtf" the recogniser reads, then the reader's one slice of 16 KiB.
constexpr std::uint64_t kOneSlice = 5 + 16 * 1024;

// A sparse file of `size` bytes: `head` at its start, `tail` at its end, zeros between.
class SparseFile {
public:
    SparseFile(const std::string& head, const std::string& tail, std::uint64_t size)
    {
        const int fd = mkstemp(m_path);
        m_ok = fd >= 0 && ftruncate(fd, off_t(size)) == 0
            && pwrite(fd, head.data(), head.size(), 0) == ssize_t(head.size())
            && pwrite(fd, tail.data(), tail.size(), off_t(size - tail.size())) == ssize_t(tail.size());
        if (fd >= 0)
            close(fd);
    }
    ~SparseFile() { unlink(m_path); }
    bool ok() const { return m_ok; }
    const char* path() const { return m_path; }

private:
    char m_path[64] = "/tmp/tallyglass-rtf-XXXXXX";
    bool m_ok = false;
};

struct Read {
    DocumentProperties properties;
    std::uint64_t bytesRead = 0;
};

Read readFile(const SparseFile& file)
{
    const auto source = FileSource::open(file.path());
    EXPECT_TRUE(source);
    if (!source)
        return {};
    EXPECT_GE(source->size(), kGiB);
    Read read{ReadRtfDocument(*source), source->bytesRead()};
    std::printf("bytes read of a %llu-byte file: %llu\n", static_cast<unsigned long long>(source->size()),
                static_cast<unsigned long long>(read.bytesRead));
    return read;
}

#define SPARSE_OR_SKIP(file)                                                                                 \
    if (!(file).ok())                                                                                        \
    GTEST_SKIP() << "the disk refused a sparse file of 1 GiB"

TEST(RtfLargeFile, GroupFirstCostsOneSliceOfReading)
{
    const SparseFile file("{\\rtf1\\ansi\\ansicpg1252{\\info{\\title Large}{\\nofpages4000}}\\pard ", "}", kGiB);
    SPARSE_OR_SKIP(file);
    const Read read = readFile(file);
    EXPECT_EQ(Text(read.properties, FieldId::Title), "Large");
    EXPECT_EQ(Text(read.properties, FieldId::PageCount), "4000");
    EXPECT_TRUE(read.properties.diagnostics.empty());
    EXPECT_LE(read.bytesRead, kOneSlice);
}

TEST(RtfLargeFile, BodyBeforeAnyGroupStopsAtItsFirstText)
{
    // The body runs for 1 GiB; an information group at its end is not the header's.
    const SparseFile file("{\\rtf1\\ansi Body text ", "{\\info{\\title Late}}}", kGiB);
    SPARSE_OR_SKIP(file);
    const Read read = readFile(file);
    EXPECT_TRUE(read.properties.opened);
    EXPECT_EQ(Text(read.properties, FieldId::Title), "");
    EXPECT_TRUE(read.properties.diagnostics.empty());
    EXPECT_LE(read.bytesRead, kOneSlice);
}

TEST(RtfLargeFile, AHeaderThatNeverEndsIsReadForOneMebibyteOnly)
{
    const SparseFile file("{\\rtf1\\ansi{\\*\\themedata ", "}{\\info{\\title Late}}}", kGiB);
    SPARSE_OR_SKIP(file);
    const Read read = readFile(file);
    EXPECT_EQ(Text(read.properties, FieldId::Title), "");
    ASSERT_EQ(read.properties.diagnostics.size(), 1u);
    EXPECT_EQ(read.properties.diagnostics[0].kind, DiagnosticKind::OverCap);
    EXPECT_EQ(read.bytesRead, 5u + (1u << 20));
}

TEST(RtfLargeFile, ABinOf2To31IsNotFollowedPastTheFirstMebibyte)
{
    const SparseFile file("{\\rtf1{\\info{\\title T}{\\*\\blob\\bin2147483648 ", "}}}", kGiB);
    SPARSE_OR_SKIP(file);
    const Read read = readFile(file);
    EXPECT_EQ(Text(read.properties, FieldId::Title), "T");
    ASSERT_EQ(read.properties.diagnostics.size(), 1u);
    EXPECT_EQ(DiagnosticText(read.properties.diagnostics[0]),
              "over its size cap: \\bin data of 2147483648 bytes runs past the first 1 MiB");
    EXPECT_LE(read.bytesRead, kOneSlice);
}

} // namespace
} // namespace tallyglass::test
