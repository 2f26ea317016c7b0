// RTF files written by real applications, against the values a peer reader reports
// (committed in EXPECTED.tsv beside the files, with the reason wherever ours differ).
#include "RtfFieldTexts.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tallyglass::test {
namespace {

std::string unescaped(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
    }
    return out;
}

// file -> property -> expected text
std::map<std::string, std::map<std::string, std::string>> expectations()
{
    std::ifstream in(std::string(TALLYGLASS_TEST_DATA) + "/rtf/EXPECTED.tsv");
    std::map<std::string, std::map<std::string, std::string>> table;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line.rfind("file\t", 0) == 0)
            continue;
        const std::size_t a = line.find('\t'), b = line.find('\t', a + 1), c = line.find('\t', b + 1);
        table[line.substr(0, a)][line.substr(a + 1, b - a - 1)] = unescaped(line.substr(b + 1, c - b - 1));
    }
    return table;
}

TEST(RtfCorpus, EveryFieldAgreesWithThePeerOrSaysWhyNot)
{
    const auto table = expectations();
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
