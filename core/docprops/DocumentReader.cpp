#include "DocumentReader.h"

#include "compound/CompoundDocument.h"
#include "package/PackageDocument.h"
#include "pdf/PdfDocument.h"
#include "rtf/RtfDocument.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <optional>

namespace tallyglass {

namespace {

using DocumentFormatReader = DocumentProperties (*)(const ByteSource&);

// One line per format, tried in this order.
constexpr std::array kFormatReaders = {
    DocumentFormatReader{ReadCompoundDocument},
    DocumentFormatReader{ReadPackageDocument},
    DocumentFormatReader{ReadFlatOdfDocument},
    DocumentFormatReader{ReadRtfDocument},
    DocumentFormatReader{ReadPdfDocument},
};

bool recognised(const DocumentProperties& properties)
{
    if (properties.opened)
        return true;
    for (const Diagnostic& diagnostic : properties.diagnostics) {
        if (diagnostic.kind != DiagnosticKind::NotADocument)
            return true;
    }
    return false;
}

} // namespace

DocumentProperties ReadDocument(const ByteSource& source)
{
    // A reader that saw something of its kind but no document (a zip archive of other files)
    // says what it saw; that reason is kept unless a later reader opens the bytes.
    std::optional<DocumentProperties> closest;
    for (const DocumentFormatReader read : kFormatReaders) {
        DocumentProperties properties = read(source);
        if (recognised(properties))
            return properties;
        if (!closest && !properties.diagnostics.empty() && !properties.diagnostics.front().detail.empty())
            closest = std::move(properties);
    }
    if (closest)
        return std::move(*closest);
    DocumentProperties none;
    none.note(DiagnosticKind::NotADocument, {});
    return none;
}

bool OfficePropertiesComponent::OpenFile(const std::string& path, std::int32_t, std::int32_t)
{
    m_summary.reset();
    auto properties = std::make_shared<DocumentProperties>();
    if (const auto source = FileSource::open(path))
        *properties = ReadDocument(*source);
    else
        properties->note(DiagnosticKind::Damaged, std::string("the file cannot be opened: ") + std::strerror(errno));
    m_properties = properties;
    if (!properties->opened)
        return false;
    m_summary = std::make_shared<StoredSummary>(m_properties);
    return true;
}

std::unique_ptr<DocumentPropertiesComponent> CreateDocumentPropertiesComponent()
{
    return std::make_unique<OfficePropertiesComponent>();
}

} // namespace tallyglass
