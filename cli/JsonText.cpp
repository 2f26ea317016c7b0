#include "JsonText.h"

#include "IsoTimes.h"
#include "TextBytes.h"

namespace tallyglass {

namespace {

using Json = nlohmann::ordered_json;

Json text(std::string_view value)
{
    return Json(Utf8Replaced(value));
}

Json stamp(const std::optional<Nanoseconds>& when)
{
    return when ? Json(IsoUtcNanoseconds(*when)) : Json(nullptr);
}

const DocumentDate* dateOf(const Examination& e, FieldId field)
{
    return e.document ? std::get_if<DocumentDate>(&e.document->get(field)) : nullptr;
}

Json documentDate(const Examination& e, FieldId field)
{
    const DocumentDate* date = dateOf(e, field);
    if (date == nullptr)
        return nullptr;
    return Json{{"time", IsoUtc(date->when)}, {"zone", ZoneName(date->zone)}};
}

Json times(const Examination& e)
{
    Json out = Json::object();
    out["CreateDate"] = stamp(e.file ? e.file->CreatedExact : std::nullopt);
    out["LastModified"] = stamp(e.file ? std::optional(e.file->LastModifiedExact) : std::nullopt);
    out["LastAccessed"] = stamp(e.file ? std::optional(e.file->LastAccessedExact) : std::nullopt);
    out["DateCreated"] = documentDate(e, FieldId::DateCreated);
    out["DateLastSaved"] = documentDate(e, FieldId::DateLastSaved);
    out["DateLastPrinted"] = documentDate(e, FieldId::DateLastPrinted);
    return out;
}

Json propertyValue(const PropertyValue& value)
{
    return std::visit(
        [](const auto& v) -> Json {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                return nullptr;
            else if constexpr (std::is_same_v<T, std::string>)
                return text(v);
            else if constexpr (std::is_same_v<T, DocumentDate>)
                return IsoUtc(v.when);
            else
                return v;
        },
        value);
}

Json values(const Examination& e)
{
    Json out = Json::object();
    for (const FieldRow& row : FieldCatalogue()) {
        if (!PropertyIndex(row.id))
            continue;
        out[std::string(row.idName)] = e.document ? propertyValue(e.document->get(row.id)) : Json(nullptr);
    }
    return out;
}

Json customValue(const CustomValue& value)
{
    return std::visit(
        [](const auto& v) -> Json {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::string>)
                return text(v);
            else if constexpr (std::is_same_v<T, DocumentDate>)
                return IsoUtc(v.when);
            else
                return v; // a real that is not finite comes out as null
        },
        value);
}

// Names as the document spells them. A name the document repeats keeps every value: the key
// then holds the list of them, in document order (no custom value is itself a list).
Json customProperties(const Examination& e)
{
    Json out = Json::object();
    if (!e.document)
        return out;
    for (const CustomProperty& p : e.document->custom) {
        const std::string name = Utf8Replaced(p.name);
        Json value = customValue(p.value);
        const auto it = out.find(name);
        if (it == out.end()) {
            out[name] = std::move(value);
        } else {
            if (!it->is_array())
                *it = Json::array({*it});
            it->push_back(std::move(value));
        }
    }
    return out;
}

Json diagnostics(const Examination& e)
{
    Json out = Json::array();
    if (e.document)
        for (const Diagnostic& d : e.document->diagnostics)
            out.push_back(text(DiagnosticText(d)));
    return out;
}

std::string_view noatimeName(NoAtime n)
{
    switch (n) {
    case NoAtime::Taken: return "taken";
    case NoAtime::Refused: return "refused";
    case NoAtime::NotOpened: return "not-opened";
    }
    return "not-opened";
}

Json examined(const Examination& e)
{
    return Json{
        {"Tool", "tallyglass-report"},
        {"Version", TALLYGLASS_VERSION_TEXT},
        {"Time", IsoUtcNanoseconds(e.examinedAt)},
        // Refused means the kernel would not let us read the file without touching its access
        // time; Last Accessed above was read before any read of the contents either way.
        {"AccessTimePreserved", e.noatime != NoAtime::Refused},
        {"NoAtime", noatimeName(e.noatime)},
    };
}

} // namespace

std::string JsonString(std::string_view value)
{
    return text(value).dump();
}

nlohmann::ordered_json JsonReport(const Examination& e)
{
    Json report = Json::object();
    for (const FieldRow& row : FieldCatalogue())
        report[std::string(row.idName)] = text(e.texts[std::size_t(row.id)]);
    for (const FieldId field : {FieldId::FileName, FieldId::FilePath}) {
        const std::string& value = e.texts[std::size_t(field)];
        if (!IsValidUtf8(value))
            report[std::string(CatalogueRow(field).idName) + "Bytes"] = Base64(value);
    }
    report["Times"] = times(e);
    report["Values"] = values(e);
    report["CustomProperties"] = customProperties(e);
    report["Diagnostics"] = diagnostics(e);
    report["Examined"] = examined(e);
    return report;
}

std::string JsonLine(const Examination& examination)
{
    return JsonReport(examination).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

} // namespace tallyglass
