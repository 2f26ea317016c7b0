#pragma once

#include "ByteSource.h"
#include "DocumentProperties.h"

#include <memory>
#include <optional>

namespace tallyglass {

// Reads the properties of a document, recognising its kind by content (never by the file
// name): each format's reader is tried in turn. A reader that does not recognise the bytes
// answers an unopened model whose only reason is NotADocument; the first one that opens the
// document, or recognises it and says why it cannot, gives the answer.
DocumentProperties ReadDocument(const ByteSource& source);

// Our document-properties component: opens the file read-only, reads what it needs with
// positioned reads, and closes it again before OpenFile returns.
class OfficePropertiesComponent final : public DocumentPropertiesComponent {
public:
    bool OpenFile(const std::string& path, std::int32_t access, std::int32_t share) override;
    std::shared_ptr<DocumentSummary> GetSummary() override { return m_summary; }
    const DocumentProperties* Properties() const override { return m_properties.get(); }

private:
    std::shared_ptr<const DocumentProperties> m_properties;
    std::shared_ptr<StoredSummary> m_summary;
};

std::unique_ptr<DocumentPropertiesComponent> CreateDocumentPropertiesComponent();

} // namespace tallyglass
