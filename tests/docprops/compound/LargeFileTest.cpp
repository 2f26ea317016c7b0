// The properties of a 1 GiB compound file cost a few sectors of reading, not the file.
#include "CompoundFileBuilder.h"

#include "docprops/DocumentReader.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace tallyglass::test {
namespace {

TEST(LargeFile, PropertiesOfA1GiBFileCostUnderOneMebibyteOfReading)
{
    // 262,000 sectors of 4096 bytes: a 1 GiB stream before the property streams, so the FAT
    // needs the DIFAT chain and the property streams lie at the far end.
    CompoundFileBuilder builder(12);
    builder.padding(262000)
        .paddingStream(u"WordDocument")
        .stream(u"\u0005SummaryInformation",
                propertySet(kFmtidSummaryInformation, {i2(1, 1252), lpstr(2, "Big"), i4(14, 4000)}))
        .stream(u"\u0005DocumentSummaryInformation",
                propertySet(kFmtidDocSummaryInformation, {i2(1, 1252), lpstr(15, "Company")}));
    const auto parts = builder.buildSparse();
    ASSERT_FALSE(builder.layout.difatSectors.empty());

    char path[] = "/tmp/tallyglass-large-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const bool written = ftruncate(fd, off_t(parts.size())) == 0
        && pwrite(fd, parts.head.data(), parts.head.size(), 0) == ssize_t(parts.head.size())
        && pwrite(fd, parts.body.data(), parts.body.size(), off_t(parts.bodyAt)) == ssize_t(parts.body.size());
    close(fd);
    if (!written) {
        unlink(path);
        GTEST_SKIP() << "the disk refused a sparse file of 1 GiB";
    }

    const auto source = FileSource::open(path);
    ASSERT_TRUE(source);
    EXPECT_GE(source->size(), 1ULL << 30);
    const auto values = ReadDocumentSummary(*source);
    const std::uint64_t read = source->bytesRead();
    unlink(path);
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title, "Big");
    EXPECT_EQ(values->PageCount, 4000);
    EXPECT_EQ(values->Company, "Company");
    EXPECT_LT(read, 1u << 20);
    RecordProperty("bytesRead", std::to_string(read));
    std::printf("bytes read for a %llu-byte file: %llu\n", static_cast<unsigned long long>(source->size()),
                static_cast<unsigned long long>(read));
}

} // namespace
} // namespace tallyglass::test
