// Hand-built Office Open XML packages: where the properties parts are found, how their
// elements are matched, and how each kind of value is read.

#include "package/PackageBuilder.h"

#include "ByteSource.h"
#include "docprops/DocumentReader.h"

#include <gtest/gtest.h>

using namespace tallyglass;
using namespace tallyglass::testing;
using namespace std::chrono;

namespace {

const std::string kFullCore = CorePart(
    "<dc:title>Quarterly</dc:title><dc:subject>Sales</dc:subject><dc:creator>Ann</dc:creator>"
    "<cp:keywords>north; south</cp:keywords><dc:description>Line 1\nLine 2</dc:description>"
    "<cp:lastModifiedBy>Bob</cp:lastModifiedBy><cp:lastPrinted>2001-02-03T04:05:06Z</cp:lastPrinted>"
    R"(<dcterms:created xsi:type="dcterms:W3CDTF">2020-01-02T03:04:05.1234567+01:30</dcterms:created>)"
    R"(<dcterms:modified xsi:type="dcterms:W3CDTF">2021-06-07T08:09:10Z</dcterms:modified>)"
    "<cp:category>Report</cp:category><cp:revision>7</cp:revision>");

const std::string kFullApp = AppPart(
    "<Template>Normal.dotm</Template><TotalTime>125</TotalTime><Pages>3</Pages><Words>400</Words>"
    "<Characters>2000</Characters><Application>Microsoft Office Word</Application>"
    "<PresentationFormat>On-screen Show (4:3)</PresentationFormat><Lines>50</Lines>"
    "<Paragraphs>12</Paragraphs><Slides>9</Slides><Notes>2</Notes><HiddenSlides>1</HiddenSlides>"
    "<MMClips>4</MMClips><Manager>Carol</Manager><Company>Corvane</Company>"
    "<CharactersWithSpaces>2400</CharactersWithSpaces><SharedDoc>true</SharedDoc>"
    "<AppVersion>16.0000</AppVersion><DocSecurity>0</DocSecurity>");

} // namespace

TEST(OoxmlPackage, EveryPropertyIsRead)
{
    const auto values = ReadPackageBytes(OoxmlEntries(kFullCore, kFullApp));
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title, "Quarterly");
    EXPECT_EQ(values->Subject, "Sales");
    EXPECT_EQ(values->Author, "Ann");
    EXPECT_EQ(values->Keywords, "north; south");
    EXPECT_EQ(values->Comments, "Line 1\nLine 2");
    EXPECT_EQ(values->LastSavedBy, "Bob");
    EXPECT_EQ(values->DateLastPrinted, Utc(2001, 2, 3, 4, 5, 6));
    EXPECT_EQ(values->DateCreated, Utc(2020, 1, 2, 1, 34, 5)) << "the zone is applied, the fraction dropped";
    EXPECT_EQ(values->DateLastSaved, Utc(2021, 6, 7, 8, 9, 10));
    EXPECT_EQ(values->Category, "Report");
    EXPECT_EQ(values->Template, "Normal.dotm");
    EXPECT_EQ(values->TotalEditTime, 125) << "TotalTime is minutes already";
    EXPECT_EQ(values->PageCount, 3);
    EXPECT_EQ(values->WordCount, 400);
    EXPECT_EQ(values->CharCount, 2000);
    EXPECT_EQ(values->AppName, "Microsoft Office Word");
    EXPECT_EQ(values->PresentationFormat, "On-screen Show (4:3)");
    EXPECT_EQ(values->ByteCount, 0) << "no package property is a byte count";
    EXPECT_EQ(values->LineCount, 50);
    EXPECT_EQ(values->ParagraphCount, 12);
    EXPECT_EQ(values->SlideCount, 9);
    EXPECT_EQ(values->NoteCount, 2);
    EXPECT_EQ(values->HiddenSlides, 1);
    EXPECT_EQ(values->MultimediaClips, 4);
    EXPECT_EQ(values->Manager, "Carol");
    EXPECT_EQ(values->Company, "Corvane");
    EXPECT_EQ(values->CharCountWithSpaces, 2400);
    EXPECT_TRUE(values->Shared);
    EXPECT_EQ(values->Version, "16.0000") << "kept as stored";
}

TEST(OoxmlPackage, MissingPartsGiveEmptyValuesNotAFailure)
{
    const auto none = ReadPackageBytes(OoxmlEntries("", ""));
    ASSERT_TRUE(none) << "a package without docProps still opens";
    EXPECT_EQ(*none, SummaryValues{});

    const auto coreOnly = ReadPackageBytes(OoxmlEntries(kFullCore, ""));
    ASSERT_TRUE(coreOnly);
    EXPECT_EQ(coreOnly->Title, "Quarterly");
    EXPECT_EQ(coreOnly->AppName, "");
    EXPECT_EQ(coreOnly->PageCount, 0);

    const auto appOnly = ReadPackageBytes(OoxmlEntries("", kFullApp));
    ASSERT_TRUE(appOnly);
    EXPECT_EQ(appOnly->Title, "");
    EXPECT_EQ(appOnly->Company, "Corvane");
}

TEST(OoxmlPackage, PartsAreFoundThroughThePackageRelationships)
{
    // The relationships point elsewhere; a decoy at the usual name is not read.
    auto moved = OoxmlEntries(CorePart("<dc:title>Decoy</dc:title>"), "");
    moved[1].content = Relationships("/meta/./props/../props/Core%20Props.XML", "meta/app.xml");
    moved.push_back({"meta/props/core props.xml", CorePart("<dc:title>Moved</dc:title>")});
    moved.push_back({"meta/app.xml", AppPart("<Company>Elsewhere</Company>")});
    const auto values = ReadPackageBytes(moved);
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title, "Moved") << "absolute target, dot segments, %-escape, other case";
    EXPECT_EQ(values->Company, "Elsewhere");

    // A zero byte in a target names no part, not the part named by what comes before it.
    auto zero = OoxmlEntries(kFullCore, "");
    zero[1].content = Relationships("docProps/core.xml%00.junk", "");
    const auto zeroValues = ReadPackageBytes(zero);
    ASSERT_TRUE(zeroValues);
    EXPECT_EQ(zeroValues->Title, "");

    // Readable relationships without a properties relationship are believed.
    auto unlisted = OoxmlEntries(kFullCore, kFullApp);
    unlisted[1].content = Relationships("", "");
    const auto unlistedValues = ReadPackageBytes(unlisted);
    ASSERT_TRUE(unlistedValues);
    EXPECT_EQ(*unlistedValues, SummaryValues{});

    // Without package relationships the usual names are tried.
    auto norels = OoxmlEntries(kFullCore, kFullApp);
    norels.erase(norels.begin() + 1);
    const auto fallback = ReadPackageBytes(norels);
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback->Title, "Quarterly");
    EXPECT_EQ(fallback->Company, "Corvane");

    // Damaged relationships count as missing too.
    auto damaged = OoxmlEntries(kFullCore, kFullApp);
    damaged[1].content = "<Relationships";
    const auto damagedValues = ReadPackageBytes(damaged);
    ASSERT_TRUE(damagedValues);
    EXPECT_EQ(damagedValues->Title, "Quarterly");
}

TEST(OoxmlPackage, ElementsAreMatchedByNamespaceNotPrefix)
{
    const std::string core =
        R"(<?xml version="1.0"?><p:coreProperties xmlns:p="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" )"
        R"(xmlns:e="http://purl.org/dc/elements/1.1/" xmlns:dc="urn:not-dublin-core">)"
        "<dc:title>Wrong namespace</dc:title><e:title>Right</e:title>"
        R"(<creator xmlns="http://purl.org/dc/elements/1.1/">Default namespace</creator>)"
        R"(<x:created xmlns:x="http://purl.org/dc/terms/">2020-01-01T00:00:00Z</x:created>)"
        "<p:keywords>k</p:keywords><keywords>no namespace</keywords></p:coreProperties>";
    const std::string app =
        R"(<ep:Properties xmlns:ep="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties" )"
        R"(xmlns:vt="http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes">)"
        "<ep:Application>Hancell</ep:Application><vt:Company>Not extended</vt:Company>"
        "<ep:AppVersion>0900.0100.01</ep:AppVersion></ep:Properties>";
    const auto values = ReadPackageBytes(OoxmlEntries(core, app));
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title, "Right");
    EXPECT_EQ(values->Author, "Default namespace");
    EXPECT_EQ(values->DateCreated, Utc(2020, 1, 1, 0, 0, 0));
    EXPECT_EQ(values->Keywords, "k");
    EXPECT_EQ(values->AppName, "Hancell");
    EXPECT_EQ(values->Company, "");
    EXPECT_EQ(values->Version, "0900.0100.01");

    const std::string strictApp =
        R"(<Properties xmlns="http://purl.oclc.org/ooxml/officeDocument/extendedProperties"><Pages>2</Pages></Properties>)";
    auto strict = OoxmlEntries("", strictApp);
    strict[1].content = std::string(R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)") +
                        R"(<Relationship Id="a" Type="http://purl.oclc.org/ooxml/officeDocument/relationships/extendedProperties" Target="docProps/app.xml"/>)" +
                        "</Relationships>";
    const auto strictValues = ReadPackageBytes(strict);
    ASSERT_TRUE(strictValues);
    EXPECT_EQ(strictValues->PageCount, 2);
}

TEST(OoxmlPackage, ValuesThatDoNotParseCountAsMissing)
{
    const std::string core = CorePart(
        "<dcterms:created>2020-01-02T03:04:05</dcterms:created>"    // no zone: UTC
        "<dcterms:modified>2020-02-30T00:00:00Z</dcterms:modified>" // no such day
        "<cp:lastPrinted>yesterday</cp:lastPrinted>"
        "<dc:title>  kept  as  stored </dc:title><dc:title>second</dc:title>"
        "<dc:subject><![CDATA[a<b]]> &amp; c</dc:subject>");
    const std::string app = AppPart(
        "<TotalTime>4294967295</TotalTime><Pages> 12 </Pages><Words>-3</Words><Characters>12abc</Characters>"
        "<Lines>2147483647</Lines><Paragraphs>-2147483648</Paragraphs><Slides>-2147483649</Slides>"
        "<Notes></Notes><HiddenSlides>+4</HiddenSlides><SharedDoc>1</SharedDoc>");
    const auto values = ReadPackageBytes(OoxmlEntries(core, app));
    ASSERT_TRUE(values);
    EXPECT_EQ(values->DateCreated, Utc(2020, 1, 2, 3, 4, 5));
    EXPECT_EQ(values->DateLastSaved, std::nullopt);
    EXPECT_EQ(values->DateLastPrinted, std::nullopt);
    EXPECT_EQ(values->Title, "  kept  as  stored ") << "the first of two, blanks kept";
    EXPECT_EQ(values->Subject, "a<b & c");
    EXPECT_EQ(values->TotalEditTime, 0);
    EXPECT_EQ(values->PageCount, 12);
    EXPECT_EQ(values->WordCount, -3);
    EXPECT_EQ(values->CharCount, 0);
    EXPECT_EQ(values->LineCount, 2147483647);
    EXPECT_EQ(values->ParagraphCount, -2147483647 - 1);
    EXPECT_EQ(values->SlideCount, 0);
    EXPECT_EQ(values->NoteCount, 0);
    EXPECT_EQ(values->HiddenSlides, 4);
    EXPECT_TRUE(values->Shared);

    const auto notShared = ReadPackageBytes(OoxmlEntries("", AppPart("<SharedDoc>TRUE</SharedDoc>")));
    ASSERT_TRUE(notShared);
    EXPECT_FALSE(notShared->Shared) << "only true and 1 are true";
}

TEST(OoxmlPackage, EntitiesAreNeverExpanded)
{
    const std::string core =
        R"(<?xml version="1.0"?><!DOCTYPE cp:coreProperties [<!ENTITY big "BIGBIGBIG"><!ENTITY ext SYSTEM "file:///etc/passwd">]>)"
        R"(<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" )"
        R"(xmlns:dc="http://purl.org/dc/elements/1.1/"><dc:title>a&big;&ext;b&#65;</dc:title></cp:coreProperties>)";
    const auto values = ReadPackageBytes(OoxmlEntries(core, ""));
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title.find("BIG"), std::string::npos);
    EXPECT_EQ(values->Title.find("root"), std::string::npos);
}

TEST(Package, OtherZipFilesAreNotDocuments)
{
    EXPECT_FALSE(ReadPackageBytes({{"hello.txt", "hello"}}));
    EXPECT_FALSE(ReadPackageBytes({{"mimetype", "application/epub+zip", false}, {"META-INF/container.xml", "<container/>"}}));
    EXPECT_FALSE(ReadPackageBytes({{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n"}, {"a.class", "x"}}));
    EXPECT_FALSE(ReadPackageBytes({{"meta.xml", "<not-odf/>"}}));
}
