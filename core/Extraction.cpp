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

// One row of the document-property filling: its box, and how its getter's value becomes
// text. Answers no text when the getter fails.
struct PropertyRow {
    FieldId field;
    std::optional<std::string> (*read)(DocumentSummary&);
};

template <bool (DocumentSummary::*Getter)(std::string&)>
std::optional<std::string> textOf(DocumentSummary& s)
{
    std::string value;
    if (!(s.*Getter)(value))
        return std::nullopt;
    return value;
}

template <bool (DocumentSummary::*Getter)(std::int32_t&)>
std::optional<std::string> decimalOf(DocumentSummary& s)
{
    std::int32_t value = 0;
    if (!(s.*Getter)(value))
        return std::nullopt;
    return DecimalText(value);
}

template <bool (DocumentSummary::*Getter)(OleDate&)>
std::optional<std::string> dateOf(DocumentSummary& s)
{
    OleDate value;
    if (!(s.*Getter)(value))
        return std::nullopt;
    return value ? DateText(*value) : std::string();
}

std::optional<std::string> sharedOf(DocumentSummary& s)
{
    bool value = false;
    if (!s.Shared(value))
        return std::nullopt;
    return BooleanText(value);
}

using S = DocumentSummary;
constexpr std::array<PropertyRow, 29> kPropertyRows = {{
    {FieldId::AppName, textOf<&S::AppName>},
    {FieldId::Author, textOf<&S::Author>},
    {FieldId::ByteCount, decimalOf<&S::ByteCount>},
    {FieldId::Category, textOf<&S::Category>},
    {FieldId::CharCount, decimalOf<&S::CharCount>},
    {FieldId::CharCountWithSpaces, decimalOf<&S::CharCountWithSpaces>},
    {FieldId::Comments, textOf<&S::Comments>},
    {FieldId::Company, textOf<&S::Company>},
    {FieldId::DateCreated, dateOf<&S::DateCreated>},
    {FieldId::DateLastPrinted, dateOf<&S::DateLastPrinted>},
    {FieldId::DateLastSaved, dateOf<&S::DateLastSaved>},
    {FieldId::HiddenSlides, decimalOf<&S::HiddenSlides>},
    {FieldId::Keywords, textOf<&S::Keywords>},
    {FieldId::LastSavedBy, textOf<&S::LastSavedBy>},
    {FieldId::LineCount, decimalOf<&S::LineCount>},
    {FieldId::Manager, textOf<&S::Manager>},
    {FieldId::MultimediaClips, decimalOf<&S::MultimediaClips>},
    {FieldId::NoteCount, decimalOf<&S::NoteCount>},
    {FieldId::PageCount, decimalOf<&S::PageCount>},
    {FieldId::ParagraphCount, decimalOf<&S::ParagraphCount>},
    {FieldId::PresentationFormat, textOf<&S::PresentationFormat>},
    {FieldId::Shared, sharedOf},
    {FieldId::SlideCount, decimalOf<&S::SlideCount>},
    {FieldId::Subject, textOf<&S::Subject>},
    {FieldId::Template, textOf<&S::Template>},
    {FieldId::Title, textOf<&S::Title>},
    {FieldId::TotalEditTime, decimalOf<&S::TotalEditTime>},
    {FieldId::Version, textOf<&S::Version>},
    {FieldId::WordCount, decimalOf<&S::WordCount>},
}};

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
