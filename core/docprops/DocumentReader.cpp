#include "DocumentReader.h"

#include <array>
#include <cstring>

namespace tallyglass {

namespace {

constexpr std::array<unsigned char, 8> kCompoundFileSignature = {0xD0, 0xCF, 0x11, 0xE0,
                                                                 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::array<unsigned char, 4> kZipLocalHeader = {'P', 'K', 0x03, 0x04};

} // namespace

std::optional<SummaryValues> ReadDocumentSummary(const ByteSource& source)
{
    std::array<std::byte, 8> head{};
    if (!source.readAt(0, head))
        return std::nullopt;
    if (std::memcmp(head.data(), kCompoundFileSignature.data(), kCompoundFileSignature.size()) == 0)
        return ReadCompoundFileSummary(source);
    if (std::memcmp(head.data(), kZipLocalHeader.data(), kZipLocalHeader.size()) == 0)
        return ReadPackageSummary(source);
    return std::nullopt;
}

bool OfficePropertiesComponent::OpenFile(const std::string& path, std::int32_t, std::int32_t)
{
    m_summary.reset();
    const auto source = FileSource::open(path);
    if (!source)
        return false;
    auto values = ReadDocumentSummary(*source);
    if (!values)
        return false;
    m_summary = std::make_shared<StoredSummary>(std::move(*values));
    return true;
}

std::unique_ptr<DocumentPropertiesComponent> CreateDocumentPropertiesComponent()
{
    return std::make_unique<OfficePropertiesComponent>();
}

} // namespace tallyglass
