#pragma once

// The 29 texts the window shows for a model read from RTF (absent fields blank), and a reader
// of hand-built RTF held in memory.
#include "ByteSource.h"
#include "docprops/PropertyModel.h"
#include "docprops/rtf/RtfDocument.h"

#include <map>
#include <span>
#include <string>

namespace tallyglass::test {

inline std::string FieldText(const PropertyValue& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (const auto* count = std::get_if<std::int32_t>(&value))
        return DecimalText(*count);
    if (const auto* date = std::get_if<DocumentDate>(&value))
        return DateText(date->when);
    if (const auto* flag = std::get_if<bool>(&value))
        return BooleanText(*flag);
    return {};
}

inline std::map<std::string, std::string> FieldTexts(const DocumentProperties& properties)
{
    std::map<std::string, std::string> texts;
    for (const PropertySpec& spec : PropertyTable())
        texts[std::string(spec.name)] = FieldText(properties.get(spec.field));
    return texts;
}

inline DocumentProperties ReadRtfText(std::string_view rtf)
{
    const MemorySource source(std::as_bytes(std::span(rtf.data(), rtf.size())));
    return ReadRtfDocument(source);
}

inline std::string Text(const DocumentProperties& properties, FieldId field)
{
    return FieldText(properties.get(field));
}

} // namespace tallyglass::test
