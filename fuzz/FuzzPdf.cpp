// Bytes in, the PDF reader's model out: qpdf over our byte source, the mapping, the page tree
// walk and the XMP parse, with the text of every value and reason formed as the window does.
#include "TextForms.h"
#include "docprops/pdf/PdfDocument.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tallyglass;
    const MemorySource source(std::as_bytes(std::span(data, size)));
    const auto read = ReadPdfDocument(source);
    std::size_t length = 0;
    for (const auto& value : read.values) {
        if (const auto* text = std::get_if<std::string>(&value))
            length += text->size();
        else if (const auto* date = std::get_if<DocumentDate>(&value))
            length += DateText(date->when).size();
    }
    for (const auto& diagnostic : read.diagnostics)
        length += DiagnosticText(diagnostic).size();
    // The length is looked at so the optimiser keeps the text forms that produced it.
    return length == std::size_t(-1) ? -1 : 0;
}
