// Hand-built compound files: the layouts writers use, and the damage hostile files carry.
#include "CompoundFileBuilder.h"

#include "docprops/DocumentReader.h"

#include <gtest/gtest.h>

namespace tallyglass::test {
namespace {

Bytes summarySet(std::vector<Property> properties, std::uint16_t codePage = 1252)
{
    properties.insert(properties.begin(), i2(1, codePage));
    return propertySet(kFmtidSummaryInformation, properties);
}

Bytes docSummarySet(std::vector<Property> properties, std::uint16_t codePage = 1252)
{
    properties.insert(properties.begin(), i2(1, codePage));
    return propertySet(kFmtidDocSummaryInformation, properties);
}

// Every one of the 29 properties, as a writer stores them.
std::vector<Property> fullSummary()
{
    return {lpstr(2, "Title"), lpstr(3, "Subject"), lpstr(4, "Author"), lpstr(5, "Keywords"),
            lpstr(6, "Comments"), lpstr(7, "Normal.dotm"), lpstr(8, "Editor"),
            filetime(10, 125ULL * 60 * 10000000 + 59 * 10000000ULL), filetime(11, ticksOf(1'600'000'000)),
            filetime(12, ticksOf(1'500'000'000, 9'999'999)), filetime(13, ticksOf(1'700'000'000)),
            i4(14, 3), i4(15, 250), i4(16, 1400), lpstr(18, "Writer 16")};
}

std::vector<Property> fullDocSummary()
{
    return {lpstr(2, "Category"), lpstr(3, "On-screen Show (4:3)"), i4(4, 12345), i4(5, 40), i4(6, 9),
            i4(7, 12), i4(8, 2), i4(9, 1), i4(10, 0), lpstr(14, "Manager"), lpstr(15, "Company"),
            i4(17, 1650), boolean(19, 0xFFFF), i4(23, 0x000B1FE9)};
}

SummaryValues expectedFull()
{
    SummaryValues v;
    v.Title = "Title";
    v.Subject = "Subject";
    v.Author = "Author";
    v.Keywords = "Keywords";
    v.Comments = "Comments";
    v.Template = "Normal.dotm";
    v.LastSavedBy = "Editor";
    v.TotalEditTime = 125;
    v.DateLastPrinted = Seconds(std::chrono::seconds(1'600'000'000));
    v.DateCreated = Seconds(std::chrono::seconds(1'500'000'000)); // sub-seconds truncated
    v.DateLastSaved = Seconds(std::chrono::seconds(1'700'000'000));
    v.PageCount = 3;
    v.WordCount = 250;
    v.CharCount = 1400;
    v.AppName = "Writer 16";
    v.Category = "Category";
    v.PresentationFormat = "On-screen Show (4:3)";
    v.ByteCount = 12345;
    v.LineCount = 40;
    v.ParagraphCount = 9;
    v.SlideCount = 12;
    v.NoteCount = 2;
    v.HiddenSlides = 1;
    v.MultimediaClips = 0;
    v.Manager = "Manager";
    v.Company = "Company";
    v.CharCountWithSpaces = 1650;
    v.Shared = true;
    v.Version = "11.8169";
    return v;
}

Bytes fullDocument(unsigned shift = 9)
{
    return CompoundFileBuilder(shift)
        .stream(kSummary, summarySet(fullSummary()))
        .stream(kDocSummary, docSummarySet(fullDocSummary()))
        .build();
}

TEST(CompoundFile, ReadsAll29PropertiesFromTheMiniStream)
{
    const auto values = readBytes(fullDocument());
    ASSERT_TRUE(values);
    EXPECT_EQ(*values, expectedFull());
}

TEST(CompoundFile, ReadsVersion4SectorsAndStreamsInRegularSectors)
{
    // A comment of 5000 letters pushes the summary stream past the mini stream cutoff.
    auto summary = fullSummary();
    summary[4] = lpstr(6, std::string(5000, 'c'));
    const Bytes file = CompoundFileBuilder(12)
                           .stream(u"WordDocument", Bytes(9000, std::byte{'w'}))
                           .stream(kSummary, summarySet(summary))
                           .stream(kDocSummary, docSummarySet(fullDocSummary()))
                           .build();
    ASSERT_GE(summarySet(summary).size(), 4096u);
    const auto values = readBytes(file);
    ASSERT_TRUE(values);
    SummaryValues expected = expectedFull();
    expected.Comments = std::string(5000, 'c');
    EXPECT_EQ(*values, expected);
}

TEST(CompoundFile, FollowsTheDifatChainWhenTheHeaderSlotsDoNotSuffice)
{
    // 14,000 free sectors put the streams beyond what the header's 109 FAT slots cover.
    CompoundFileBuilder builder(9);
    builder.padding(14000)
        .stream(kSummary, summarySet(fullSummary()))
        .stream(kDocSummary, docSummarySet(fullDocSummary()));
    const Bytes file = builder.build();
    ASSERT_GT(builder.layout.fatSectors.size(), 109u);
    ASSERT_FALSE(builder.layout.difatSectors.empty());
    const auto values = readBytes(file);
    ASSERT_TRUE(values);
    EXPECT_EQ(*values, expectedFull());
}

TEST(CompoundFile, FindsStreamNamesWhateverTheirCase)
{
    const Bytes file = CompoundFileBuilder()
                           .stream(u"\u0005summaryinformation", summarySet({lpstr(2, "Found")}))
                           .build();
    EXPECT_EQ(readBytes(file)->Title, "Found");
}

TEST(CompoundFile, AnswersEmptyValuesWithoutEitherStream)
{
    const auto values = readBytes(CompoundFileBuilder().stream(u"WordDocument", Bytes(100)).build());
    ASSERT_TRUE(values);
    EXPECT_EQ(*values, SummaryValues{});
    EXPECT_TRUE(readBytes(CompoundFileBuilder().build()));
}

TEST(CompoundFile, AMissingDocumentSummaryStreamLeavesItsPropertiesEmpty)
{
    const auto values = readBytes(CompoundFileBuilder().stream(kSummary, summarySet(fullSummary())).build());
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title, "Title");
    EXPECT_EQ(values->AppName, "Writer 16");
    EXPECT_EQ(values->Company, "");
    EXPECT_EQ(values->SlideCount, 0);
    EXPECT_FALSE(values->Shared);
    EXPECT_EQ(values->Version, "");
}

TEST(CompoundFile, RefusesWhatIsNoCompoundFile)
{
    Bytes file = fullDocument();
    EXPECT_FALSE(readBytes(Bytes(file.begin(), file.begin() + 100)));
    EXPECT_FALSE(readBytes(Bytes{}));
    Bytes wrongOrder = file;
    put16(wrongOrder, 28, 0xFEFF);
    EXPECT_FALSE(readBytes(wrongOrder));
    for (int shift : {0, 8, 10, 16, 31, 64, 0xFFFF}) {
        Bytes badShift = file;
        put16(badShift, 30, std::uint16_t(shift));
        EXPECT_FALSE(readBytes(badShift)) << shift;
    }
}

TEST(CompoundFile, MissingPropertiesGiveEmptyValuesAndTheRestIsRead)
{
    // Title is missing, Subject has a type we do not read, PageCount is negative.
    const Bytes file = CompoundFileBuilder()
                           .stream(kSummary, summarySet({typed(3, 0x0005, Bytes(8)), lpstr(4, "Author"),
                                                         i4(14, -7), filetime(12, 0), i2(15, 0xFFFE)}))
                           .build();
    const auto values = readBytes(file);
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title, "");
    EXPECT_EQ(values->Subject, "");
    EXPECT_EQ(values->Author, "Author");
    EXPECT_EQ(values->PageCount, -7);
    EXPECT_EQ(values->WordCount, -2);
    EXPECT_FALSE(values->DateCreated);
}

TEST(CompoundFile, ValuesAtTheEdgesOfTheirRanges)
{
    const Bytes file =
        CompoundFileBuilder()
            .stream(kSummary, summarySet({filetime(10, ~0ULL), filetime(12, ~0ULL), filetime(13, ticksOf(0))}))
            .stream(kDocSummary, docSummarySet({boolean(19, 1), i4(23, 0x00100000)}))
            .build();
    const auto values = readBytes(file);
    ASSERT_TRUE(values);
    EXPECT_EQ(values->TotalEditTime, std::numeric_limits<std::int32_t>::max());
    EXPECT_FALSE(values->DateCreated);
    EXPECT_EQ(values->DateLastSaved, Seconds(std::chrono::seconds(0)));
    EXPECT_TRUE(values->Shared);
    EXPECT_EQ(values->Version, "16.0000");
}

} // namespace
} // namespace tallyglass::test
