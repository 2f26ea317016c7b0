// Bytes in, the 29 property texts out: the document reader as the window uses it, from the
// signature test to the text of every box.
#include "Extraction.h"
#include "TableWindow.h"
#include "docprops/DocumentReader.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {

using namespace tallyglass;

// A component that "opens" the fuzzer's bytes instead of a file.
class BytesComponent final : public DocumentPropertiesComponent {
public:
    explicit BytesComponent(std::span<const std::byte> bytes) : m_bytes(bytes) {}
    bool OpenFile(const std::string&, std::int32_t, std::int32_t) override
    {
        const MemorySource source(m_bytes);
        auto properties = ReadDocument(source);
        if (!properties.opened)
            return false;
        m_summary = std::make_shared<StoredSummary>(std::move(properties));
        return true;
    }
    std::shared_ptr<DocumentSummary> GetSummary() override { return m_summary; }

private:
    std::span<const std::byte> m_bytes;
    std::shared_ptr<StoredSummary> m_summary;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto bytes = std::as_bytes(std::span(data, size));
    ExtractionServices services;
    services.createDocumentComponent = [bytes] { return std::make_unique<BytesComponent>(bytes); };
    TableWindow window;
    window.CurrentPath = "fuzz";
    ReadDocumentProperties(window, services);
    return 0;
}
