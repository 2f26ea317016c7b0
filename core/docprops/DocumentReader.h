#pragma once

#include "ByteSource.h"
#include "DocumentProperties.h"

#include <memory>
#include <optional>

namespace tallyglass {

// Reads the summary properties of a document, recognising its kind by content (never by the
// file name): a compound file, or an office package (OOXML or ODF). No value when the bytes
// are of neither kind or their structure cannot be followed.
std::optional<SummaryValues> ReadDocumentSummary(const ByteSource& source);

// The two readers behind it.
std::optional<SummaryValues> ReadCompoundFileSummary(const ByteSource& source);
std::optional<SummaryValues> ReadPackageSummary(const ByteSource& source);

// Our document-properties component: opens the file read-only, reads what it needs with
// positioned reads, and closes it again before OpenFile returns.
class OfficePropertiesComponent final : public DocumentPropertiesComponent {
public:
    bool OpenFile(const std::string& path, std::int32_t access, std::int32_t share) override;
    std::shared_ptr<DocumentSummary> GetSummary() override { return m_summary; }

private:
    std::shared_ptr<StoredSummary> m_summary;
};

std::unique_ptr<DocumentPropertiesComponent> CreateDocumentPropertiesComponent();

} // namespace tallyglass
