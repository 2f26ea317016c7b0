// Hand-built OpenDocument packages: recognition by content, and meta.xml read field by field.

#include "package/PackageBuilder.h"

#include "ByteSource.h"
#include "docprops/DocumentReader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace tallyglass;
using namespace tallyglass::testing;
using namespace std::chrono;

namespace {

const std::string kFullMeta = MetaPart(
    "<meta:initial-creator>Ann</meta:initial-creator><dc:creator>Bob</dc:creator>"
    "<meta:creation-date>2022-08-24T16:25:10.143000000</meta:creation-date>"
    "<dc:date>2022-08-24T16:26:16.608000000Z</dc:date><meta:print-date>2023-01-01T00:00:00</meta:print-date>"
    "<meta:editing-duration>P1DT2H3M59.9S</meta:editing-duration><meta:editing-cycles>4</meta:editing-cycles>"
    "<meta:generator>LibreOffice/7.3</meta:generator><dc:title>Beehive</dc:title><dc:subject>Bees</dc:subject>"
    "<dc:description>About bees</dc:description><meta:keyword>honey</meta:keyword><meta:keyword>wax</meta:keyword>"
    "<meta:keyword>hive</meta:keyword>"
    R"(<meta:template xlink:type="simple" xlink:href="Templates/letter.ott" xlink:title="letter"/>)"
    R"(<meta:document-statistic meta:table-count="0" meta:page-count="2" meta:paragraph-count="13" )"
    R"(meta:word-count="54" meta:character-count="351" meta:non-whitespace-character-count="300"/>)"
    R"(<meta:user-defined meta:name="Company">Corvane</meta:user-defined>)");

// Sets TZ for the life of the object, so zone-less dates can be read in another local time.
class LocalZone {
public:
    explicit LocalZone(const char* zone)
    {
        const char* old = std::getenv("TZ");
        m_old = old ? old : "";
        m_had = old != nullptr;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~LocalZone()
    {
        if (m_had)
            setenv("TZ", m_old.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::string m_old;
    bool m_had = false;
};

} // namespace

TEST(OdfPackage, EveryPropertyOfMetaXmlIsRead)
{
    const auto values = ReadPackageBytes(OdfEntries(kFullMeta));
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title, "Beehive");
    EXPECT_EQ(values->Subject, "Bees");
    EXPECT_EQ(values->Author, "Ann") << "the initial creator";
    EXPECT_EQ(values->LastSavedBy, "Bob") << "dc:creator is who saved last";
    EXPECT_EQ(values->Keywords, "honey; wax; hive");
    EXPECT_EQ(values->Comments, "About bees");
    EXPECT_EQ(values->Template, "letter") << "the template's title, where it has one";
    EXPECT_EQ(values->TotalEditTime, 26 * 60 + 3) << "whole minutes, truncated";
    EXPECT_EQ(values->DateCreated, Utc(2022, 8, 24, 16, 25, 10));
    EXPECT_EQ(values->DateLastSaved, Utc(2022, 8, 24, 16, 26, 16));
    EXPECT_EQ(values->DateLastPrinted, Utc(2023, 1, 1, 0, 0, 0));
    EXPECT_EQ(values->PageCount, 2);
    EXPECT_EQ(values->WordCount, 54);
    EXPECT_EQ(values->ParagraphCount, 13);
    EXPECT_EQ(values->CharCount, 300) << "characters other than white space";
    EXPECT_EQ(values->CharCountWithSpaces, 351);
    EXPECT_EQ(values->AppName, "LibreOffice/7.3");
    // OpenDocument has no element for the rest; user-defined fields are not taken for them.
    EXPECT_EQ(values->Company, "");
    EXPECT_EQ(values->Category, "");
    EXPECT_EQ(values->Version, "");
    EXPECT_EQ(values->LineCount, 0);
    EXPECT_FALSE(values->Shared);
}

TEST(OdfPackage, ZonelessDatesAreLocalTime)
{
    const LocalZone zone("XST5"); // five hours behind UTC, no summer time
    const auto values = ReadPackageBytes(OdfEntries(MetaPart(
        "<meta:creation-date>2022-08-24T16:25:10</meta:creation-date><dc:date>2022-08-24T16:25:10Z</dc:date>")));
    ASSERT_TRUE(values);
    EXPECT_EQ(values->DateCreated, Utc(2022, 8, 24, 21, 25, 10));
    EXPECT_EQ(values->DateLastSaved, Utc(2022, 8, 24, 16, 25, 10));
}

TEST(OdfPackage, RecognisedByContentNotByName)
{
    const std::string meta = MetaPart("<dc:title>T</dc:title>");
    // The manifest alone, without a mimetype entry.
    const auto manifestOnly = ReadPackageBytes({{"META-INF/manifest.xml", "<m/>"}, {"meta.xml", meta}});
    ASSERT_TRUE(manifestOnly);
    EXPECT_EQ(manifestOnly->Title, "T");
    // meta.xml alone, with other prefixes.
    const std::string renamed =
        R"(<o:document-meta xmlns:o="urn:oasis:names:tc:opendocument:xmlns:office:1.0"><o:meta>)"
        R"(<t:title xmlns:t="http://purl.org/dc/elements/1.1/">Renamed</t:title>)"
        R"(<m:document-statistic xmlns:m="urn:oasis:names:tc:opendocument:xmlns:meta:1.0" m:page-count="5" page-count="7"/>)"
        "</o:meta></o:document-meta>";
    const auto metaOnly = ReadPackageBytes({{"meta.xml", renamed}});
    ASSERT_TRUE(metaOnly);
    EXPECT_EQ(metaOnly->Title, "Renamed");
    EXPECT_EQ(metaOnly->PageCount, 5);
    // A package that says it is OpenDocument opens even without meta.xml.
    const auto noMeta = ReadPackageBytes({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet", false},
                              {"content.xml", "<c/>"}});
    ASSERT_TRUE(noMeta);
    EXPECT_EQ(*noMeta, SummaryValues{});
}

TEST(OdfPackage, ValuesThatDoNotParseCountAsMissing)
{
    const auto values = ReadPackageBytes(OdfEntries(MetaPart(
        "<meta:editing-duration>P1Y2M</meta:editing-duration><meta:creation-date>2022-13-01T00:00:00</meta:creation-date>"
        R"(<meta:document-statistic meta:page-count="x" meta:word-count="99999999999"/>)"
        "<meta:template/>")));
    ASSERT_TRUE(values);
    EXPECT_EQ(values->TotalEditTime, 0);
    EXPECT_EQ(values->DateCreated, std::nullopt);
    EXPECT_EQ(values->PageCount, 0);
    EXPECT_EQ(values->WordCount, 0);
    EXPECT_EQ(values->Template, "");
}
