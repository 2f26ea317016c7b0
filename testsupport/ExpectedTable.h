#pragma once

// The values peer readers report for the real documents of a test data folder, as its
// EXPECTED.tsv holds them: one row per file and property (file, property, expected text,
// where it came from), "#" lines telling why ours differ wherever they do. In the expected
// text a backslash before n, r or t stands for that control character, and two backslashes
// for one.
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace tallyglass {

// file -> property -> expected text
using ExpectedTable = std::map<std::string, std::map<std::string, std::string>>;

inline std::string UnescapedCell(const std::string& text)
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

// The table of `folder` (below the test data), without its header row.
inline ExpectedTable ReadExpectedTable(const std::string& folder)
{
    std::ifstream in(std::string(TALLYGLASS_TEST_DATA) + "/" + folder + "/EXPECTED.tsv");
    ExpectedTable table;
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
            table[cells[0]][cells[1]] = UnescapedCell(cells[2]);
    }
    return table;
}

} // namespace tallyglass
