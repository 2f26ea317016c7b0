#pragma once

// The 29 properties of a read document as named members, the way the window shows them (a
// property the document does not hold is the empty value of its kind), so that tests can
// say what they expect in one struct.
#include "ByteSource.h"
#include "DocumentProperties.h"
#include "docprops/DocumentReader.h"

#include <optional>

namespace tallyglass {

struct SummaryValues {
#define TALLYGLASS_TEST_MEMBER(name, kind) GetterValueOf<PropertyKind::kind> name{};
    TALLYGLASS_DOCUMENT_PROPERTIES(TALLYGLASS_TEST_MEMBER)
#undef TALLYGLASS_TEST_MEMBER

    friend bool operator==(const SummaryValues&, const SummaryValues&) = default;

    // Every value present, as a reader that found them all would give them.
    operator DocumentProperties() const
    {
        DocumentProperties properties;
        properties.opened = true;
#define TALLYGLASS_TEST_SET(name, kind) setValue(properties, FieldId::name, name);
        TALLYGLASS_DOCUMENT_PROPERTIES(TALLYGLASS_TEST_SET)
#undef TALLYGLASS_TEST_SET
        return properties;
    }

    static SummaryValues of(const DocumentProperties& properties)
    {
        SummaryValues values;
        StoredSummary summary(properties);
#define TALLYGLASS_TEST_GET(name, kind) summary.name(values.name);
        TALLYGLASS_DOCUMENT_PROPERTIES(TALLYGLASS_TEST_GET)
#undef TALLYGLASS_TEST_GET
        return values;
    }

private:
    template <typename T>
    static void setValue(DocumentProperties& properties, FieldId field, const T& value)
    {
        if constexpr (std::is_same_v<T, OleDate>) {
            if (value)
                properties.set(field, DocumentDate{*value, DateZone::Given});
        } else {
            properties.set(field, value);
        }
    }
};

// What the reader makes of the bytes: no value when it does not open them.
inline std::optional<SummaryValues> ReadDocumentSummary(const ByteSource& source)
{
    const DocumentProperties properties = ReadDocument(source);
    if (!properties.opened)
        return std::nullopt;
    return SummaryValues::of(properties);
}

} // namespace tallyglass
