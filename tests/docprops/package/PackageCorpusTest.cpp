// Real packages written by office applications, against the values a peer reader reports
// (committed in EXPECTED.tsv beside the files, with the reason wherever ours differ).

#include "ExpectedTable.h"
#include "package/PackageBuilder.h"

#include "ByteSource.h"
#include "docprops/DocumentReader.h"

#include <gtest/gtest.h>


using namespace tallyglass;
using namespace tallyglass::testing;

namespace {

void checkFolder(const std::string& folder, std::size_t expectedFiles)
{
    const auto table = ReadExpectedTable(folder);
    ASSERT_EQ(table.size(), expectedFiles);
    for (const auto& [file, properties] : table) {
        SCOPED_TRACE(folder + "/" + file);
        const auto source = FileSource::open(std::string(TALLYGLASS_TEST_DATA) + "/" + folder + "/" + file);
        ASSERT_TRUE(source);
        const auto values = ReadDocumentSummary(*source);
        ASSERT_TRUE(values.has_value());
        ASSERT_EQ(properties.size(), 29u);
        for (const auto& [name, text] : FieldTexts(*values))
            EXPECT_EQ(text, properties.at(name)) << name;
        // The end of the file (where the central directory is looked for, at most 64 KiB
        // from the end, looked at twice), the directory and the properties parts are read;
        // the media in these files are not.
        EXPECT_LT(source->bytesRead(), 160'000u);
    }
}

} // namespace

TEST(PackageCorpus, OoxmlFilesGiveThePeersValues)
{
    checkFolder("ooxml", 20);
}

TEST(PackageCorpus, OdfFilesGiveThePeersValues)
{
    checkFolder("odf", 9);
}
