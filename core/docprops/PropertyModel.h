#pragma once

#include "../FieldCatalogue.h"
#include "../TextForms.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tallyglass {

// What every document reader hands back: the 29 properties keyed by FieldId, the properties the
// document carries beyond them, and why values are missing. Readers fill it; the component
// adapter, the window's filling and the report tool read it. A new format fills one of these
// and touches nothing else.

enum class PropertyKind { Text, Integer, Date, Boolean };

// One of the 29 document properties: its field and the kind of value it holds.
struct PropertySpec {
    FieldId field;
    std::string_view name; // the FieldId's name, "Title"
    PropertyKind kind;
};

// The 29 properties in their filling order (alphabetical by name), each with its kind: the one
// list the model, the component's getters and the window's filling are all made from.
#define TALLYGLASS_DOCUMENT_PROPERTIES(X)                                                          \
    X(AppName, Text) X(Author, Text) X(ByteCount, Integer) X(Category, Text)                       \
    X(CharCount, Integer) X(CharCountWithSpaces, Integer) X(Comments, Text) X(Company, Text)       \
    X(DateCreated, Date) X(DateLastPrinted, Date) X(DateLastSaved, Date)                           \
    X(HiddenSlides, Integer) X(Keywords, Text) X(LastSavedBy, Text) X(LineCount, Integer)          \
    X(Manager, Text) X(MultimediaClips, Integer) X(NoteCount, Integer) X(PageCount, Integer)       \
    X(ParagraphCount, Integer) X(PresentationFormat, Text) X(Shared, Boolean)                      \
    X(SlideCount, Integer) X(Subject, Text) X(Template, Text) X(Title, Text)                       \
    X(TotalEditTime, Integer) X(Version, Text) X(WordCount, Integer)

#define TALLYGLASS_COUNT_PROPERTY(name, kind) +1
inline constexpr std::size_t kPropertyCount = 0 TALLYGLASS_DOCUMENT_PROPERTIES(TALLYGLASS_COUNT_PROPERTY);
#undef TALLYGLASS_COUNT_PROPERTY
static_assert(kPropertyCount == 29);

// Where a document date's zone came from: written in the file, or assumed by the reader because
// the file gave none.
enum class DateZone { Given, AssumedLocal, AssumedUtc };

struct DocumentDate {
    Seconds when; // the instant (UTC based, as std::chrono::sys_seconds)
    DateZone zone = DateZone::Given;
    friend bool operator==(const DocumentDate&, const DocumentDate&) = default;
};

// A property's value: absent (the document holds nothing for it), or a value of its kind.
using PropertyValue = std::variant<std::monostate, std::string, std::int32_t, DocumentDate, bool>;

// A property beyond the 29, as the document names and types it.
using CustomValue = std::variant<std::string, std::int64_t, double, bool, DocumentDate>;
struct CustomProperty {
    std::string name;
    CustomValue value;
    friend bool operator==(const CustomProperty&, const CustomProperty&) = default;
};

// Why a reader gave no values, or fewer than it could.
enum class DiagnosticKind {
    NotADocument, // "not a document of a known kind"
    Encrypted,    // "encrypted: ..."
    Damaged,      // "damaged: ..."
    OverCap,      // "over its size cap: ..."
    CodePage,     // "code page: ..."
};

struct Diagnostic {
    DiagnosticKind kind;
    std::string detail; // what, where: "directory chain loops at sector 7"
    friend bool operator==(const Diagnostic&, const Diagnostic&) = default;
};

// "damaged: directory chain loops at sector 7"; "not a document of a known kind" alone when the
// detail is empty.
std::string DiagnosticText(const Diagnostic& diagnostic);

// How the window shows a property the document does not hold. The compound-file and package
// readers have always shown the empty value of the kind (0, False); a format that never
// carries a field shows nothing at all.
enum class AbsentForm { EmptyOfKind, Blank };

struct DocumentProperties {
    // False when the bytes are of no kind we read, or their structure cannot be followed at all:
    // the component's OpenFile then fails. Diagnostics say why either way.
    bool opened = false;
    std::string format; // "compound", "ooxml", "odf", "pdf", "rtf"; empty when not opened
    AbsentForm absent = AbsentForm::EmptyOfKind;
    std::array<PropertyValue, kPropertyCount> values{}; // indexed by PropertyIndex
    std::vector<CustomProperty> custom;                 // in document order, capped
    std::vector<Diagnostic> diagnostics;

    const PropertyValue& get(FieldId field) const;
    void set(FieldId field, PropertyValue value);
    void note(DiagnosticKind kind, std::string detail);
    // True when the document holds a value for the property.
    bool has(FieldId field) const { return !std::holds_alternative<std::monostate>(get(field)); }
};

// The 29 properties in their filling order (alphabetical by FieldId name).
const std::array<PropertySpec, kPropertyCount>& PropertyTable();
// The property's place in PropertyTable(), or nothing for the nine file-system fields.
std::optional<std::size_t> PropertyIndex(FieldId field);
// The kind of a property; Text for the nine file-system fields, which are no properties.
PropertyKind KindOf(FieldId field);

} // namespace tallyglass
