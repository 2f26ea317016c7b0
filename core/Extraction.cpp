#include "Extraction.h"

#include "docprops/DocumentReader.h"

#include <array>
#include <variant>

namespace tallyglass {

namespace {

// The file-system fields first, then the 29 document properties in alphabetical order of
// their names: the order in which a new extraction empties the window.
constexpr std::array<FieldId, kFieldCount> kClearingOrder = {
    FieldId::FileName, FieldId::FilePath, FieldId::CreateDate, FieldId::LastModified,
    FieldId::LastAccessed, FieldId::FileSize, FieldId::MD5, FieldId::Sha1, FieldId::Sha256,
    FieldId::AppName, FieldId::Author, FieldId::ByteCount, FieldId::Category,
    FieldId::CharCount, FieldId::CharCountWithSpaces, FieldId::Comments, FieldId::Company,
    FieldId::DateCreated, FieldId::DateLastPrinted, FieldId::DateLastSaved,
    FieldId::HiddenSlides, FieldId::Keywords, FieldId::LastSavedBy, FieldId::LineCount,
    FieldId::Manager, FieldId::MultimediaClips, FieldId::NoteCount, FieldId::PageCount,
    FieldId::ParagraphCount, FieldId::PresentationFormat, FieldId::Shared,
    FieldId::SlideCount, FieldId::Subject, FieldId::Template, FieldId::Title,
    FieldId::TotalEditTime, FieldId::Version, FieldId::WordCount,
};

// The text a getter's value is written as.
std::string textOf(const std::string& value) { return value; }
std::string textOf(std::int32_t value) { return DecimalText(value); }
std::string textOf(const OleDate& value) { return value ? DateText(*value) : std::string(); }
std::string textOf(bool value) { return BooleanText(value); }

// One row of the document-property filling: its box, and its getter's value as text. No text
// when the getter fails; empty text for a property the format leaves blank.
struct PropertyRow {
    FieldId field;
    std::optional<std::string> (*read)(DocumentSummary&);
};

template <PropertyKind Kind, bool (DocumentSummary::*Getter)(GetterValueOf<Kind>&), FieldId Field>
std::optional<std::string> rowText(DocumentSummary& summary)
{
    GetterValueOf<Kind> value{};
    if (!(summary.*Getter)(value))
        return std::nullopt;
    if (summary.Blank(Field))
        return std::string();
    return textOf(value);
}

#define TALLYGLASS_FILLING_ROW(name, kind)                                                         \
    PropertyRow{FieldId::name, rowText<PropertyKind::kind, &DocumentSummary::name, FieldId::name>},
constexpr std::array<PropertyRow, kPropertyCount> kPropertyRows = {
    TALLYGLASS_DOCUMENT_PROPERTIES(TALLYGLASS_FILLING_ROW)};
#undef TALLYGLASS_FILLING_ROW

struct DigestStep {
    DigestAlgorithm algorithm;
    FieldId field;
};
constexpr std::array<DigestStep, 3> kDigestSteps = {{
    {DigestAlgorithm::MD5, FieldId::MD5},
    {DigestAlgorithm::SHA1, FieldId::Sha1},
    {DigestAlgorithm::SHA256, FieldId::Sha256},
}};

// The flag handed to every digest call; it has no meaning to our digest service.
constexpr int kDigestFlag = -1;

std::string dateTextOrEmpty(const std::optional<Seconds>& when)
{
    return when ? DateText(*when) : std::string();
}

} // namespace

ExtractionServices SystemServices()
{
    static OpenSslDigests digests;
    return {
        [] { return std::make_unique<StatxFileSystem>(); },
        &digests,
        [] { return CreateDocumentPropertiesComponent(); },
    };
}

void ClearFields(ExtractionWindow& window)
{
    for (const FieldId field : kClearingOrder) {
        window.SetFieldText(field, {});
        window.Untick(field);
    }
}

void ExtractFile(ExtractionWindow& window, const ExtractionServices& services)
{
    ClearFields(window);
    const std::unique_ptr<FileSystemService> fso = services.createFileSystem();

    if (!fso->FileExists(window.CurrentPath)) {
        if (fso->FolderExists(window.CurrentPath))
            window.ShowMessage(std::string(kFolderNoticeText) + window.CurrentPath);
        else
            window.ShowMessage(std::string(kInvalidPathText) + window.CurrentPath);
        window.EndProgram(kRefusedPathStatus);
        return;
    }

    auto status = fso->GetFile(window.CurrentPath);
    if (const auto* error = std::get_if<FileStatusError>(&status)) {
        // The file was there a moment ago; it vanished or its status cannot be read. The user
        // is told and the program goes on, with the fields left empty.
        window.ShowMessage("The status of " + window.CurrentPath + " cannot be read: " + error->reason);
        return;
    }
    const FileObject& file = std::get<FileObject>(status);

    for (const DigestStep& step : kDigestSteps)
        window.SetFieldText(step.field, kWaitingText);

    window.SetFieldText(FieldId::FileName, file.Name);
    window.SetFieldText(FieldId::FilePath, file.Path);
    window.SetFieldText(FieldId::CreateDate, dateTextOrEmpty(file.DateCreated));
    window.SetFieldText(FieldId::LastModified, DateText(file.DateLastModified));
    window.SetFieldText(FieldId::LastAccessed, DateText(file.DateLastAccessed));
    window.SetFieldText(FieldId::FileSize, DecimalText(std::int64_t(file.Size)));

    for (const DigestStep& step : kDigestSteps) {
        window.SetFieldText(step.field, kCalculatingText);
        window.Yield();
        if (window.Ended())
            return;
        std::string path = window.CurrentPath;
        const std::string digest = services.digests->HashFile(int(step.algorithm), path, kDigestFlag);
        window.CurrentPath = path;
        window.SetFieldText(step.field, digest);
        window.Yield();
        if (window.Ended())
            return;
    }

    ReadDocumentProperties(window, services);
}

void ReadDocumentProperties(ExtractionWindow& window, const ExtractionServices& services)
{
    std::unique_ptr<DocumentPropertiesComponent> component =
        services.createDocumentComponent ? services.createDocumentComponent() : nullptr;
    if (!component)
        return;
    // The previous document goes only now that its successor exists.
    window.CurrentDocument = std::move(component);

    if (!window.CurrentDocument->OpenFile(window.CurrentPath, 0, 2))
        return;
    const std::shared_ptr<DocumentSummary> summary = window.CurrentDocument->GetSummary();
    if (!summary)
        return;
    for (const PropertyRow& row : kPropertyRows) {
        const std::optional<std::string> text = row.read(*summary);
        if (!text)
            return;
        window.SetFieldText(row.field, *text);
    }
}

} // namespace tallyglass
