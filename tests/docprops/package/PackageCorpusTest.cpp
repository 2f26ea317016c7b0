// Real packages written by office applications, against the values a peer reader reports
// (committed in EXPECTED.tsv beside the files, with the reason wherever ours differ).

#include "package/PackageBuilder.h"

#include "ByteSource.h"
#include "docprops/DocumentReader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

using namespace tallyglass;
using namespace tallyglass::testing;

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
std::map<std::string, std::map<std::string, std::string>> expectations(const std::string& folder)
{
    std::ifstream in(std::string(TALLYGLASS_TEST_DATA) + "/" + folder + "/EXPECTED.tsv");
    std::map<std::string, std::map<std::string, std::string>> table;
    std::string line;
    bool header = true;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        if (header) {
            header = false;
            continue;
        }
        std::vector<std::string> cells;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            cells.push_back(line.substr(start, tab - start));
        cells.push_back(line.substr(start));
        if (cells.size() >= 3)
            table[cells[0]][cells[1]] = unescaped(cells[2]);
    }
    return table;
}

void checkFolder(const std::string& folder, std::size_t expectedFiles)
{
    const auto table = expectations(folder);
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
