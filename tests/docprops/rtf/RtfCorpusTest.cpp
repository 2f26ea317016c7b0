// RTF files written by real applications, against the values a peer reader reports
// (committed in EXPECTED.tsv beside the files, with the reason wherever ours differ).
#include "ExpectedTable.h"
#include "RtfFieldTexts.h"

#include <gtest/gtest.h>

namespace tallyglass::test {
namespace {

TEST(RtfCorpus, EveryFieldAgreesWithThePeerOrSaysWhyNot)
{
    const auto table = ReadExpectedTable("rtf");
    ASSERT_EQ(table.size(), 13u);
    for (const auto& [file, expected] : table) {
        SCOPED_TRACE(file);
        const auto source = FileSource::open(std::string(TALLYGLASS_TEST_DATA) + "/rtf/" + file);
        ASSERT_TRUE(source);
        ASSERT_TRUE(IsRtfDocument(*source));
        const DocumentProperties properties = ReadRtfDocument(*source);
        EXPECT_TRUE(properties.opened);
        EXPECT_EQ(properties.format, "rtf");
        EXPECT_EQ(properties.absent, AbsentForm::Blank);
        for (const Diagnostic& diagnostic : properties.diagnostics)
            ADD_FAILURE() << DiagnosticText(diagnostic);
        ASSERT_EQ(expected.size(), 29u);
        for (const auto& [name, text] : FieldTexts(properties))
            EXPECT_EQ(text, expected.at(name)) << name;
        for (const PropertySpec& spec : PropertyTable()) {
            if (const auto* date = std::get_if<DocumentDate>(&properties.get(spec.field))) {
                EXPECT_EQ(date->zone, DateZone::AssumedLocal) << spec.name;
            }
        }
        // The information group lies within the first 32 KiB of each: reading stops at its
        // end (read in slices of 16 KiB), long before the 169 KB of the largest file here.
        EXPECT_LE(source->bytesRead(), 48u * 1024) << file;
    }
}

} // namespace
} // namespace tallyglass::test
