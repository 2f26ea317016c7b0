// Real PDFs from public projects against what pdfinfo and qpdf report for them (committed in
// EXPECTED.tsv beside the files, with the reason wherever ours differ).

#include "ExpectedTable.h"
#include "pdf/PdfBuilder.h"

#include <gtest/gtest.h>

using namespace tallyglass;
using namespace tallyglass::testing;

namespace {

const std::string kFolder = std::string(TALLYGLASS_TEST_DATA) + "/pdf/";

} // namespace

TEST(PdfCorpus, FilesGiveThePeersValues)
{
    const auto table = ReadExpectedTable("pdf");
    ASSERT_EQ(table.size(), 31u);
    for (const auto& [file, properties] : table) {
        SCOPED_TRACE(file);
        const auto source = FileSource::open(kFolder + file);
        ASSERT_TRUE(source);
        const auto read = ReadPdfDocument(*source);
        EXPECT_TRUE(read.opened);
        EXPECT_EQ(read.format, "pdf");
        EXPECT_EQ(read.absent, AbsentForm::Blank);
        ASSERT_EQ(properties.size(), 30u);
        for (const auto& spec : PropertyTable())
            EXPECT_EQ(Text(read, spec.field), properties.at(std::string(spec.name))) << spec.name;
        const auto* producer = Custom(read, "Producer");
        EXPECT_EQ(producer ? std::get<std::string>(producer->value) : "", properties.at("Producer"));
        // Only the header, the tail, the cross-reference sections and the objects behind the
        // values are read: a fraction of any file with pages of content. The one of 352
        // pages visits every page object, spread over 2.6 MB.
        EXPECT_LT(source->bytesRead(), file == "pdfjs-freeculture.pdf" ? 1'400'000u : 64'000u);
    }
}

TEST(PdfCorpus, UserPasswordGivesTheReasonAndNoValue)
{
    const auto source = FileSource::open(kFolder + "pdfjs-issue3371.pdf");
    ASSERT_TRUE(source);
    const auto read = ReadPdfDocument(*source);
    EXPECT_TRUE(read.opened);
    EXPECT_EQ(FilledCount(read), 0u);
    EXPECT_TRUE(read.custom.empty());
    EXPECT_EQ(Reasons(read), "encrypted: a password is needed\n");
}

TEST(PdfCorpus, RebuiltCrossReferenceAndLyingCountAreQuiet)
{
    // qpdf warns about both files; what it repaired needs no reason, since values were read.
    for (const char* file : {"pdfjs-issue17147.pdf", "qpdf-issue-117.pdf", "pdfjs-poppler-67295-0.pdf"}) {
        SCOPED_TRACE(file);
        const auto source = FileSource::open(kFolder + file);
        const auto read = ReadPdfDocument(*source);
        EXPECT_EQ(Text(read, FieldId::PageCount), "1");
        EXPECT_EQ(Reasons(read), "");
    }
}
