#include "JsonText.h"

#include "IsoTimes.h"
#include "TextBytes.h"

namespace tallyglass {

namespace {

using Json = nlohmann::ordered_json;

// The report's objects are written key after key, no key twice, so each pair is appended as it
// comes: ordered_json's operator[] would first compare the key with every earlier one, and an
// object that outgrows its room copies all its keys when it moves.
class ObjectBuilder {
public:
    explicit ObjectBuilder(std::size_t keys) { pairs().reserve(keys); }
    void add(std::string key, Json value) { pairs().emplace_back(std::move(key), std::move(value)); }
    Json take() { return std::move(m_object); }

private:
    Json::object_t& pairs() { return m_object.get_ref<Json::object_t&>(); }
    Json m_object = Json::object();
};

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
    ObjectBuilder out(6);
    out.add("CreateDate", stamp(e.file ? e.file->CreatedExact : std::nullopt));
    out.add("LastModified", stamp(e.file ? std::optional(e.file->LastModifiedExact) : std::nullopt));
    out.add("LastAccessed", stamp(e.file ? std::optional(e.file->LastAccessedExact) : std::nullopt));
    out.add("DateCreated", documentDate(e, FieldId::DateCreated));
    out.add("DateLastSaved", documentDate(e, FieldId::DateLastSaved));
    out.add("DateLastPrinted", documentDate(e, FieldId::DateLastPrinted));
    return out.take();
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
    ObjectBuilder out(kPropertyCount);
    for (const FieldRow& row : FieldCatalogue()) {
        if (!PropertyIndex(row.id))
            continue;
        out.add(std::string(row.idName), e.document ? propertyValue(e.document->get(row.id)) : Json(nullptr));
    }
    return out.take();
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
    ObjectBuilder out(5);
    out.add("Tool", "tallyglass-report");
    out.add("Version", TALLYGLASS_VERSION_TEXT);
    out.add("Time", IsoUtcNanoseconds(e.examinedAt));
    // Refused means the kernel would not let us read the file without touching its access
    // time; Last Accessed above was read before any read of the contents either way.
    out.add("AccessTimePreserved", e.noatime != NoAtime::Refused);
    out.add("NoAtime", noatimeName(e.noatime));
    return out.take();
}

} // namespace

std::string JsonString(std::string_view value)
{
    return text(value).dump();
}

nlohmann::ordered_json JsonReport(const Examination& e)
{
    ObjectBuilder report(FieldCatalogue().size() + 7);
    for (const FieldRow& row : FieldCatalogue())
        report.add(std::string(row.idName), text(e.texts[std::size_t(row.id)]));
    for (const FieldId field : {FieldId::FileName, FieldId::FilePath}) {
        const std::string& value = e.texts[std::size_t(field)];
        if (!IsValidUtf8(value))
            report.add(std::string(CatalogueRow(field).idName) + "Bytes", Base64(value));
    }
    report.add("Times", times(e));
    report.add("Values", values(e));
    report.add("CustomProperties", customProperties(e));
    report.add("Diagnostics", diagnostics(e));
    report.add("Examined", examined(e));
    return report.take();
}

std::string JsonLine(const Examination& examination)
{
    return JsonReport(examination).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

} // namespace tallyglass
