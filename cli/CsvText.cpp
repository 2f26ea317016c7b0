#include "CsvText.h"

#include "TextBytes.h"

namespace tallyglass {

namespace {

constexpr std::string_view kRowEnd = "\r\n";

std::string_view labelOf(const FieldRow& row)
{
    std::string_view label = row.reportLabel;
    if (label.ends_with(": "))
        label.remove_suffix(2);
    return label;
}

} // namespace

std::string CsvField(std::string_view text)
{
    const std::string valid = Utf8Replaced(text);
    if (valid.find_first_of(",\"\r\n") == std::string::npos)
        return valid;
    std::string out = "\"";
    for (const char c : valid) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

std::string CsvHeader()
{
    std::string line;
    for (const FieldRow& row : FieldCatalogue()) {
        if (row.position > 1)
            line += ',';
        line += CsvField(labelOf(row));
    }
    return line.append(kRowEnd);
}

std::string CsvRow(const FieldTexts& texts)
{
    std::string line;
    for (const FieldRow& row : FieldCatalogue()) {
        if (row.position > 1)
            line += ',';
        line += CsvField(texts[std::size_t(row.id)]);
    }
    return line.append(kRowEnd);
}

} // namespace tallyglass
