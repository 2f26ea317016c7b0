#pragma once

#include "TextForms.h"
#include "docprops/PropertyModel.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <type_traits>
#include <string>

namespace tallyglass {

// A date property: no value when the document does not carry one.
using OleDate = std::optional<Seconds>;

// What a getter of each kind hands out.
template <PropertyKind> struct GetterValue;
template <> struct GetterValue<PropertyKind::Text> { using type = std::string; };
template <> struct GetterValue<PropertyKind::Integer> { using type = std::int32_t; };
template <> struct GetterValue<PropertyKind::Date> { using type = OleDate; };
template <> struct GetterValue<PropertyKind::Boolean> { using type = bool; };
template <PropertyKind K> using GetterValueOf = typename GetterValue<K>::type;

// The summary properties of an opened document: one getter per property, named after its
// field. Each answers true and sets its value, or answers false when it fails; a missing
// property is not a failure but the empty value of its kind.
class DocumentSummary {
public:
    virtual ~DocumentSummary() = default;
#define TALLYGLASS_SUMMARY_GETTER(name, kind) virtual bool name(GetterValueOf<PropertyKind::kind>& out) = 0;
    TALLYGLASS_DOCUMENT_PROPERTIES(TALLYGLASS_SUMMARY_GETTER)
#undef TALLYGLASS_SUMMARY_GETTER
    // True when the document's format leaves a property it does not hold blank rather than
    // showing the empty value of its kind (0, False): the box then stays empty.
    virtual bool Blank(FieldId) const { return false; }
};

// Opens a document by path and hands out its summary. It never writes to the file and keeps
// no file open once OpenFile has returned.
class DocumentPropertiesComponent {
public:
    virtual ~DocumentPropertiesComponent() = default;
    // The two numbers are the caller's access and sharing wishes; a reader that only ever
    // reads has no use for them.
    virtual bool OpenFile(const std::string& path, std::int32_t access, std::int32_t share) = 0;
    // Null when no file is open.
    virtual std::shared_ptr<DocumentSummary> GetSummary() = 0;
    // The typed properties, custom properties and reasons of the latest OpenFile, whether it
    // succeeded or not; null before the first OpenFile or for a component without a model.
    // The window never asks for it; the report tool does.
    virtual const DocumentProperties* Properties() const { return nullptr; }
};

// A summary answered from a model read beforehand; it never fails. A property the model does
// not hold is the empty value of its kind.
class StoredSummary : public DocumentSummary {
public:
    explicit StoredSummary(std::shared_ptr<const DocumentProperties> properties)
        : m_properties(std::move(properties)) {}
    explicit StoredSummary(DocumentProperties properties)
        : m_properties(std::make_shared<const DocumentProperties>(std::move(properties))) {}

#define TALLYGLASS_STORED_GETTER(name, kind)                                                       \
    bool name(GetterValueOf<PropertyKind::kind>& out) override                                     \
    {                                                                                              \
        return answer(FieldId::name, out);                                                         \
    }
    TALLYGLASS_DOCUMENT_PROPERTIES(TALLYGLASS_STORED_GETTER)
#undef TALLYGLASS_STORED_GETTER

    bool Blank(FieldId field) const override
    {
        return m_properties->absent == AbsentForm::Blank && !m_properties->has(field);
    }

private:
    template <typename T>
    bool answer(FieldId field, T& out) const
    {
        const PropertyValue& value = m_properties->get(field);
        if constexpr (std::is_same_v<T, OleDate>) {
            const auto* date = std::get_if<DocumentDate>(&value);
            out = date ? OleDate(date->when) : std::nullopt;
        } else {
            const auto* held = std::get_if<T>(&value);
            out = held ? *held : T{};
        }
        return true;
    }

    std::shared_ptr<const DocumentProperties> m_properties;
};

} // namespace tallyglass
