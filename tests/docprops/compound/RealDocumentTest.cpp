// Documents written by real applications: the 29 texts the window shows, against what a peer
// reader reports for the same files (tests/data/ole/expected.tsv).
#include "Extraction.h"
#include "TableWindow.h"
#include "docprops/DocumentReader.h"

#include "FieldByName.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

namespace tallyglass {
namespace {

const std::string kDataDir = std::string(TALLYGLASS_TEST_DATA) + "/ole/";

std::string unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out.push_back(text[i]);
            continue;
        }
        const char c = text[++i];
        out.push_back(c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c);
    }
    return out;
}

// file -> property -> text
std::map<std::string, std::map<std::string, std::string>> expectedTexts()
{
    std::map<std::string, std::map<std::string, std::string>> expected;
    std::ifstream in(kDataDir + "expected.tsv");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line.rfind("file\t", 0) == 0)
            continue;
        const std::size_t a = line.find('\t'), b = line.find('\t', a + 1);
        expected[line.substr(0, a)][line.substr(a + 1, b - a - 1)] = unescape(line.substr(b + 1));
    }
    return expected;
}

TEST(RealDocument, All29TextsAgreeWithThePeerReader)
{
    const auto expected = expectedTexts();
    ASSERT_GE(expected.size(), 12u);
    ExtractionServices services;
    services.createDocumentComponent = CreateDocumentPropertiesComponent;
    for (const auto& [file, properties] : expected) {
        ASSERT_EQ(properties.size(), 29u) << file;
        TableWindow window;
        window.CurrentPath = kDataDir + file;
        ReadDocumentProperties(window, services);
        for (const auto& [property, text] : properties) {
            const auto field = FieldIdFromName(property);
            ASSERT_TRUE(field) << property;
            EXPECT_EQ(window.text(*field), text) << file << " " << property;
        }
    }
}

} // namespace
} // namespace tallyglass
