// Damaged and hostile compound files: every walk ends, every read stays inside its buffer,
// and what can still be read is read.
#include "CompoundFileBuilder.h"

#include "docprops/compound/CompoundFile.h"
#include "docprops/DocumentReader.h"
#include "docprops/compound/PropertySet.h"

#include <gtest/gtest.h>

namespace tallyglass::test {
namespace {

Bytes summarySet(std::vector<Property> properties)
{
    properties.insert(properties.begin(), i2(1, 1252));
    return propertySet(kFmtidSummaryInformation, properties);
}

Bytes docSummarySet()
{
    return propertySet(kFmtidDocSummaryInformation, {i2(1, 1252), lpstr(15, "Company")});
}

// A summary stream big enough for regular sectors, and a small document summary stream.
CompoundFileBuilder twoStreams(unsigned shift = 9)
{
    CompoundFileBuilder builder(shift);
    builder.stream(kSummary, summarySet({lpstr(2, "Title"), lpstr(6, std::string(6000, 'c'))}))
        .stream(kDocSummary, docSummarySet());
    return builder;
}

TEST(HostileFile, ACycleInAStreamChainLosesThatStreamOnly)
{
    auto builder = twoStreams();
    Bytes file = builder.build();
    const std::uint32_t first = builder.layout.streamStart[0];
    builder.setFat(file, first + 3, first); // the fourth sector leads back to the first
    const auto values = readBytes(file);
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title, "");
    EXPECT_EQ(values->Company, "Company");
}

TEST(HostileFile, ACycleInTheMiniStreamChainsEndsTheWalk)
{
    CompoundFileBuilder builder;
    builder.stream(kDocSummary, docSummarySet());
    Bytes file = builder.build();
    // The mini FAT sends the stream's first mini sector back to itself.
    put32(file, builder.offsetOf(builder.layout.miniFatStart), 0);
    EXPECT_EQ(readBytes(file)->Company, "");
    // The mini stream's own chain comes back to itself.
    Bytes loop = builder.build();
    builder.setFat(loop, builder.layout.miniStreamStart, builder.layout.miniStreamStart);
    EXPECT_TRUE(readBytes(loop));
}

TEST(HostileFile, CyclesInTheDirectoryChainAndTreeEndTheWalk)
{
    // Twenty streams fill more than two directory sectors; the second leads back to the first.
    CompoundFileBuilder builder;
    for (int i = 0; i < 20; ++i)
        builder.stream(u"Stream" + std::u16string(1, char16_t(u'A' + i)), Bytes(10));
    builder.stream(kDocSummary, docSummarySet());
    Bytes file = builder.build();
    EXPECT_EQ(readBytes(file)->Company, "Company");
    builder.setFat(file, builder.layout.directoryStart + 1, builder.layout.directoryStart);
    ASSERT_TRUE(readBytes(file));
    EXPECT_EQ(readBytes(file)->Company, "");

    // The first child's right sibling is itself, and the second's left sibling the first.
    Bytes tree = builder.build();
    put32(tree, builder.entryOffset(tree, 1) + 72, 1);
    put32(tree, builder.entryOffset(tree, 2) + 68, 1);
    EXPECT_TRUE(readBytes(tree));
}

TEST(HostileFile, ACycleInTheDifatChainEndsTheWalk)
{
    CompoundFileBuilder builder(9);
    builder.padding(33000).stream(kSummary, summarySet({lpstr(2, "Far"), lpstr(6, std::string(5000, 'c'))}));
    Bytes file = builder.build();
    ASSERT_GE(builder.layout.difatSectors.size(), 2u);
    EXPECT_EQ(readBytes(file)->Title, "Far");
    const std::uint32_t first = builder.layout.difatSectors[0];
    put32(file, builder.offsetOf(first) + builder.sectorSize() - 4, first);
    const auto values = readBytes(file);
    ASSERT_TRUE(values); // the header's slots still lead to the directory
    EXPECT_EQ(values->Title, "");
}

TEST(HostileFile, SectorNumbersAndCountsPastTheFileAreRefused)
{
    auto builder = twoStreams();
    const Bytes good = builder.build();

    Bytes directoryPastEnd = good;
    put32(directoryPastEnd, 48, 0x00FFFFFF);
    EXPECT_FALSE(readBytes(directoryPastEnd));

    // Without its first FAT sector the directory is still there, but no chain can be followed
    // past its first sector.
    Bytes fatPastEnd = good;
    put32(fatPastEnd, 76, 0xFFFFFFF0);
    ASSERT_TRUE(readBytes(fatPastEnd));
    EXPECT_EQ(readBytes(fatPastEnd)->Title, "");

    Bytes absurdCounts = good;
    put32(absurdCounts, 44, 0xFFFFFFFF); // FAT sectors
    put32(absurdCounts, 72, 0xFFFFFFFF); // DIFAT sectors
    put32(absurdCounts, 64, 0xFFFFFFFF); // mini FAT sectors
    EXPECT_EQ(readBytes(absurdCounts)->Title, "Title");

    Bytes streamPastEnd = good;
    put32(streamPastEnd, builder.entryOffset(good, 1) + 116, 0x7FFFFFF0);
    EXPECT_EQ(readBytes(streamPastEnd)->Title, "");
}

TEST(HostileFile, StreamSizesLargerThanTheirChainsAreRefused)
{
    auto builder = twoStreams();
    Bytes file = builder.build();
    const std::size_t entry = builder.entryOffset(file, 1);
    put64(file, entry + 120, get32(file, entry + 120) + 5000ULL); // beyond its chain's end
    EXPECT_EQ(readBytes(file)->Title, "");
    put64(file, entry + 120, 0x7FFF'FFFF'FFFF'FFFFULL); // beyond the file; no such allocation
    EXPECT_EQ(readBytes(file)->Title, "");
    EXPECT_EQ(readBytes(file)->Company, "Company");
}

TEST(HostileFile, EveryTruncationIsSurvived)
{
    const Bytes whole = twoStreams(12).build();
    for (std::size_t length = 0; length < whole.size(); length += 97) {
        const Bytes cut(whole.begin(), whole.begin() + std::ptrdiff_t(length));
        const auto values = readBytes(cut);
        if (values) {
            EXPECT_TRUE(values->Title.empty() || values->Title == "Title") << length;
        }
    }
}

TEST(HostileFile, PropertyOffsetsCountsAndLengthsPastTheSectionAreRefused)
{
    const Bytes set = summarySet({lpstr(2, "Title"), lpstr(3, "Subject"), i4(14, 5)});
    const auto parse = [](const Bytes& bytes) { return PropertySection::read(bytes, kFmtidSummaryInformation); };
    ASSERT_TRUE(parse(set));
    EXPECT_EQ(parse(set)->text(3), "Subject");
    // Properties start at 48 + 8; entry i is at 56 + 8 * i; the values follow the table.
    Bytes offsetPast = set;
    put32(offsetPast, 56 + 8 * 1 + 4, 0x7FFFFFF0); // Title's offset
    ASSERT_TRUE(parse(offsetPast));
    EXPECT_FALSE(parse(offsetPast)->text(2));
    EXPECT_EQ(parse(offsetPast)->integer(14), 5);

    Bytes lengthPast = set;
    const std::uint32_t titleAt = 48 + get32(set, 56 + 8 + 4);
    put32(lengthPast, titleAt + 4, 0xFFFFFFF0);
    EXPECT_FALSE(parse(lengthPast)->text(2));
    EXPECT_EQ(parse(lengthPast)->text(3), "Subject");

    Bytes countPast = set;
    put32(countPast, 48 + 4, 0x10000000);
    EXPECT_FALSE(parse(countPast));

    Bytes sectionPast = set;
    put32(sectionPast, 44, 0xFFFFFFF0);
    EXPECT_FALSE(parse(sectionPast));

    Bytes wrongFormat = set;
    wrongFormat[28] = std::byte{0};
    EXPECT_FALSE(parse(wrongFormat));

    // A truncated value at the very end of the section.
    const Bytes cut(set.begin(), set.end() - 2);
    ASSERT_TRUE(parse(cut));
    EXPECT_FALSE(parse(cut)->integer(14));

    for (std::size_t length = 0; length < set.size(); ++length) {
        const Bytes prefix(set.begin(), set.begin() + std::ptrdiff_t(length));
        if (const auto section = parse(prefix)) {
            EXPECT_TRUE(!section->text(2) || *section->text(2) == "Title");
        }
    }
}

TEST(HostileFile, ABrokenPropertySetCountsAsMissingAsAWhole)
{
    Bytes set = summarySet({lpstr(2, "Title")});
    put16(set, 0, 0x1234);
    const auto values = readBytes(CompoundFileBuilder().stream(kSummary, set).stream(kDocSummary, docSummarySet()).build());
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title, "");
    EXPECT_EQ(values->Company, "Company");
}

} // namespace
} // namespace tallyglass::test
