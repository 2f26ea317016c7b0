#pragma once

// Hand-built PDFs for the cases real files rarely show, with a correct cross-reference table,
// and the text of a reader's values as the window shows them.

#include "ByteSource.h"
#include "TextForms.h"
#include "docprops/PropertyModel.h"
#include "docprops/pdf/PdfDocument.h"
#include "docprops/pdf/PdfObjects.h"
#include "docprops/pdf/PdfSourceBytes.h"

#include <chrono>

#include <cstddef>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tallyglass::testing {

// A PDF of numbered objects (object i + 1 is objects[i]) with a classic cross-reference table
// and the trailer entries given (/Size is added). Padding, if any, lies between the last
// object and the table, so it moves the table without touching any object.
struct PdfFile {
    std::vector<std::string> objects;
    std::string trailer = "/Root 1 0 R /Info 3 0 R";
    std::size_t padding = 0;

    // The bytes before the padding and after it; together with `padding` zeros they are the file.
    std::string head() const
    {
        std::string out = "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n";
        m_offsets.clear();
        for (std::size_t i = 0; i < objects.size(); ++i) {
            m_offsets.push_back(out.size());
            out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
        }
        return out;
    }
    std::string tail(std::size_t headSize) const
    {
        const std::size_t xrefAt = headSize + padding;
        char entry[32];
        std::string out = "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
        for (const auto offset : m_offsets) {
            std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
            out += entry;
        }
        out += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " " + trailer + " >>\nstartxref\n"
            + std::to_string(xrefAt) + "\n%%EOF\n";
        return out;
    }
    std::string bytes() const
    {
        const std::string h = head();
        return h + std::string(padding, '\n') + tail(h.size());
    }

private:
    mutable std::vector<std::size_t> m_offsets;
};

// The usual first two objects: a catalog (with XMP metadata in object `metadata` if not 0)
// and a page tree of one page (object 4).
inline std::string Catalog(int metadata = 0)
{
    return "<< /Type /Catalog /Pages 2 0 R" + (metadata ? " /Metadata " + std::to_string(metadata) + " 0 R" : "") + " >>";
}
inline const std::string kOnePageTree = "<< /Type /Pages /Kids [4 0 R] /Count 1 >>";
inline const std::string kPage = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>";

inline std::string Stream(std::string_view data, std::string_view extra = "/Type /Metadata /Subtype /XML")
{
    return "<< " + std::string(extra) + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + std::string(data)
        + "\nendstream";
}

// A PDF hex string of the bytes.
inline std::string Hex(std::string_view bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out = "<";
    for (const char c : bytes) {
        out += digits[(unsigned char)c >> 4];
        out += digits[(unsigned char)c & 15];
    }
    return out + ">";
}

// A catalog, a one-page tree, the given Info dictionary, the page, and more objects.
inline PdfFile WithInfo(const std::string& info, std::vector<std::string> more = {}, int metadata = 0)
{
    PdfFile file;
    file.objects = {Catalog(metadata), kOnePageTree, info, kPage};
    for (auto& object : more)
        file.objects.push_back(std::move(object));
    return file;
}

inline PdfObjects ReadPdfObjectsUntimed(const ByteSource& source)
{
    return ReadPdfObjects(SourceBytes(source), std::chrono::steady_clock::now() + std::chrono::hours(1));
}

inline DocumentProperties ReadPdfBytes(const std::string& bytes)
{
    return ReadPdfDocument(MemorySource(std::as_bytes(std::span(bytes.data(), bytes.size()))));
}

// The text the window shows for a value; the fields a PDF lacks show nothing at all.
inline std::string ValueText(const PropertyValue& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return DecimalText(*number);
    if (const auto* date = std::get_if<DocumentDate>(&value))
        return DateText(date->when);
    if (const auto* flag = std::get_if<bool>(&value))
        return BooleanText(*flag);
    return {};
}

inline std::string Text(const DocumentProperties& properties, FieldId field)
{
    return ValueText(properties.get(field));
}

inline const CustomProperty* Custom(const DocumentProperties& properties, std::string_view name)
{
    for (const auto& property : properties.custom)
        if (property.name == name)
            return &property;
    return nullptr;
}

inline std::string Reasons(const DocumentProperties& properties)
{
    std::string out;
    for (const auto& diagnostic : properties.diagnostics)
        out += DiagnosticText(diagnostic) + "\n";
    return out;
}

inline std::size_t FilledCount(const DocumentProperties& properties)
{
    std::size_t n = 0;
    for (const auto& value : properties.values)
        n += std::holds_alternative<std::monostate>(value) ? 0 : 1;
    return n;
}

} // namespace tallyglass::testing
