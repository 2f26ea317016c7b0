// Why a compound file gives no or fewer values, the Hangul summary set, and the user-defined
// properties of real documents.
#include "CompoundFileBuilder.h"
#include "docprops/CustomCaps.h"
#include "docprops/DocumentReader.h"

#include <gtest/gtest.h>

namespace tallyglass::test {
namespace {

Bytes summarySet(std::vector<Property> properties, std::uint16_t codePage = 1252)
{
    properties.insert(properties.begin(), i2(1, codePage));
    return propertySet(kFmtidSummaryInformation, properties);
}

// The one reason a reader gives, as the report tool prints it.
std::vector<std::string> reasons(const Bytes& file)
{
    const DocumentProperties properties = ReadDocument(MemorySource(file));
    std::vector<std::string> texts;
    for (const Diagnostic& d : properties.diagnostics)
        texts.push_back(DiagnosticText(d));
    return texts;
}

TEST(CompoundReasons, EachKindOfDamageIsNamedWithWhereItIs)
{
    CompoundFileBuilder builder;
    const Bytes good = builder.stream(kSummary, summarySet({lpstr(2, "Title")})).build();
    ASSERT_TRUE(reasons(good).empty());

    Bytes byteOrder = good;
    put16(byteOrder, 28, 0xFEFF);
    Bytes sectorShift = good;
    put16(sectorShift, 30, 10);
    const Bytes cutHeader(good.begin(), good.begin() + 100);
    Bytes rootType = good;
    rootType[builder.entryOffset(rootType, 0) + 66] = std::byte{1}; // the root entry, a storage
    Bytes brokenSet = CompoundFileBuilder().stream(kSummary, [] {
        Bytes set = summarySet({lpstr(2, "Title")});
        put16(set, 0, 0x1234);
        return set;
    }()).build();

    const struct {
        const char* what;
        Bytes file;
        std::string reason;
    } cases[] = {
        {"byte order", byteOrder, "damaged: the header's byte order mark is 0xFEFF at offset 28"},
        {"sector shift", sectorShift, "damaged: the header's sector shift is 10 at offset 30"},
        {"cut header", cutHeader, "damaged: the header is cut short at 100 bytes"},
        {"root type", rootType, "damaged: the first directory entry is of type 1, not the root storage"},
        {"property set", brokenSet, "damaged: the SummaryInformation stream: its property set header is not one"},
        {"no compound file", bytesOf("plain text, not a document"), "not a document of a known kind"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(reasons(c.file), std::vector<std::string>{c.reason}) << c.what;
}

TEST(CompoundReasons, ALoopingStreamChainIsNamedAndTheOtherSetStillRead)
{
    CompoundFileBuilder builder;
    builder.stream(kSummary, summarySet({lpstr(2, "Title"), lpstr(6, std::string(6000, 'c'))}))
        .stream(kDocSummary, propertySet(kFmtidDocSummaryInformation, {i2(1, 1252), lpstr(15, "Company")}));
    Bytes file = builder.build();
    const std::uint32_t first = builder.layout.streamStart[0];
    builder.setFat(file, first + 3, first);
    const DocumentProperties properties = ReadDocument(MemorySource(file));
    EXPECT_TRUE(properties.opened);
    EXPECT_EQ(properties.get(FieldId::Company), PropertyValue(std::string("Company")));
    ASSERT_EQ(properties.diagnostics.size(), 1u) << DiagnosticText(properties.diagnostics.back());
    EXPECT_EQ(DiagnosticText(properties.diagnostics[0]),
              "damaged: the SummaryInformation stream: its chain loops at sector " + std::to_string(first));
}

TEST(CompoundReasons, AnUnknownCodePageIsNamedAndItsTextsStillShown)
{
    const Bytes file = CompoundFileBuilder().stream(kSummary, summarySet({lpstr(2, "Title")}, 4242)).build();
    const auto values = readBytes(file);
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title, "Title");
    EXPECT_EQ(reasons(file), std::vector<std::string>{
                                 "code page: the SummaryInformation set is in code page 4242, which cannot be "
                                 "converted; its texts are read as Windows-1252"});
}

TEST(CompoundReasons, AStreamOverItsCapIsReadAsFarAsTheCapAndNamed)
{
    // A thumbnail-sized tail after the properties, past the 4 MiB that are read.
    Bytes set = summarySet({lpstr(2, "Title")});
    set.resize((4u << 20) + 100, std::byte{0});
    const Bytes file = CompoundFileBuilder().stream(kSummary, set).build();
    const DocumentProperties properties = ReadDocument(MemorySource(file));
    EXPECT_EQ(properties.get(FieldId::Title), PropertyValue(std::string("Title")));
    EXPECT_EQ(reasons(file), std::vector<std::string>{"over its size cap: the SummaryInformation stream: it holds "
                                                      "4194404 bytes; only the first 4194304 are read"});
}

TEST(CompoundReasons, AnEncryptedPackageSaysWithWhat)
{
    const struct {
        std::uint16_t major, minor;
        const char* with;
    } kinds[] = {{4, 4, "agile"}, {4, 2, "standard"}, {3, 3, "extensible"}};
    for (const auto& kind : kinds) {
        Bytes info;
        put16(info, 0, kind.major);
        put16(info, 2, kind.minor);
        put32(info, 4, 0x40);
        const Bytes file = CompoundFileBuilder()
                               .stream(kSummary, summarySet({lpstr(2, "Title")}))
                               .stream(u"EncryptionInfo", info)
                               .stream(u"EncryptedPackage", Bytes(600, std::byte{0x5A}))
                               .build();
        const DocumentProperties properties = ReadDocument(MemorySource(file));
        EXPECT_TRUE(properties.opened);
        ASSERT_EQ(properties.diagnostics.size(), 1u) << kind.with;
        EXPECT_EQ(properties.diagnostics[0].kind, DiagnosticKind::Encrypted);
        EXPECT_NE(properties.diagnostics[0].detail.find(std::string("with ") + kind.with + " encryption"),
                  std::string::npos)
            << properties.diagnostics[0].detail;
    }
}

TEST(CompoundReasons, AHangulSummarySetIsReadAsTheSummaryInformation)
{
    const FormatId hwp = kFmtidHwpSummaryInformation;
    EXPECT_EQ(hwp[0], 0x60); // 9FA2B660-..., stored little-endian
    const Bytes set = propertySet(hwp, {lpwstr(2, u"\uD55C\uAE00 \uBB38\uC11C"), lpwstr(4, u"Kim"),
                                        lpwstr(8, u"Lee"), i4(14, 3),
                                        filetime(12, ticksOf(1'000'000'000))});
    const Bytes file = CompoundFileBuilder()
                           .stream(u"\u0005HwpSummaryInformation", set)
                           .stream(u"FileHeader", bytesOf("HWP Document File"))
                           .build();
    const auto values = readBytes(file);
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title, "\xED\x95\x9C\xEA\xB8\x80 \xEB\xAC\xB8\xEC\x84\x9C");
    EXPECT_EQ(values->Author, "Kim");
    EXPECT_EQ(values->LastSavedBy, "Lee");
    EXPECT_EQ(values->PageCount, 3);
    EXPECT_EQ(values->DateCreated, Seconds(std::chrono::seconds(1'000'000'000)));
    EXPECT_TRUE(reasons(file).empty());
}

// The user-defined section of real files, in document order, against exiftool's reading.
TEST(CompoundReasons, UserDefinedPropertiesOfARealDocument)
{
    const auto source = FileSource::open(std::string(TALLYGLASS_TEST_DATA) + "/ole/FlashPix.ppt");
    ASSERT_TRUE(source);
    const DocumentProperties properties = ReadDocument(*source);
    using namespace std::chrono;
    const std::vector<CustomProperty> expected = {
        {"Custom Text", std::string("customtext")},
        {"Custom Number", std::int64_t(42)},
        {"Custom Date", DocumentDate{sys_days(year(2007) / 1 / 9) + hours(5), DateZone::Given}},
        {"Custom Boolean", true},
    };
    EXPECT_EQ(properties.custom, expected);
    EXPECT_TRUE(properties.diagnostics.empty());
}

// The user-defined section is read up to its cap, and a longer one says that the rest were
// left out; the cap counts properties, not dictionary entries.
TEST(CompoundReasons, UserDefinedPropertiesStopAtTheirCap)
{
    for (const std::size_t count : {kMaxCustomProperties, kMaxCustomProperties + 1}) {
        std::vector<std::pair<std::uint32_t, std::string>> names;
        std::vector<Property> user = {i2(1, 1252)};
        for (std::uint32_t i = 0; i < count; ++i) {
            names.emplace_back(i + 2, "Name " + std::to_string(i));
            user.push_back(i4(i + 2, std::int32_t(i)));
        }
        user.insert(user.begin(), dictionary(names));
        const Bytes set = propertySet({{kFmtidDocSummaryInformation, {i2(1, 1252)}},
                                       {kFmtidUserDefinedProperties, user}});
        const DocumentProperties properties
            = ReadDocument(MemorySource(CompoundFileBuilder().stream(kDocSummary, set).build()));
        ASSERT_EQ(properties.custom.size(), kMaxCustomProperties) << count;
        EXPECT_EQ(properties.custom.back().name, "Name 999");
        EXPECT_EQ(properties.custom.back().value, CustomValue(std::int64_t(999)));
        if (count == kMaxCustomProperties) {
            EXPECT_TRUE(properties.diagnostics.empty());
        } else {
            ASSERT_EQ(properties.diagnostics.size(), 1u);
            EXPECT_EQ(properties.diagnostics[0].kind, DiagnosticKind::OverCap);
            EXPECT_EQ(properties.diagnostics[0].detail, "more than 1000 user-defined properties; the rest are not read");
        }
    }
}

} // namespace
} // namespace tallyglass::test
