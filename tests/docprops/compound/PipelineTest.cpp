// The document reader inside the extraction: rows filled in alphabetical order up to the
// first failure, and nothing left over from the previous file.
#include "Extraction.h"
#include "TableWindow.h"
#include "SummaryValues.h"
#include "docprops/DocumentReader.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace tallyglass {
namespace {

constexpr FieldId kDocumentFields[] = {
    FieldId::AppName, FieldId::Author, FieldId::ByteCount, FieldId::Category, FieldId::CharCount,
    FieldId::CharCountWithSpaces, FieldId::Comments, FieldId::Company, FieldId::DateCreated,
    FieldId::DateLastPrinted, FieldId::DateLastSaved, FieldId::HiddenSlides, FieldId::Keywords,
    FieldId::LastSavedBy, FieldId::LineCount, FieldId::Manager, FieldId::MultimediaClips,
    FieldId::NoteCount, FieldId::PageCount, FieldId::ParagraphCount, FieldId::PresentationFormat,
    FieldId::Shared, FieldId::SlideCount, FieldId::Subject, FieldId::Template, FieldId::Title,
    FieldId::TotalEditTime, FieldId::Version, FieldId::WordCount,
};

class KeywordsFail final : public StoredSummary {
public:
    using StoredSummary::StoredSummary;
    bool Keywords(std::string&) override { return false; }
};

class FixedComponent final : public DocumentPropertiesComponent {
public:
    explicit FixedComponent(std::shared_ptr<DocumentSummary> summary) : m_summary(std::move(summary)) {}
    bool OpenFile(const std::string&, std::int32_t, std::int32_t) override { return true; }
    std::shared_ptr<DocumentSummary> GetSummary() override { return m_summary; }

private:
    std::shared_ptr<DocumentSummary> m_summary;
};

SummaryValues everyValue()
{
    SummaryValues v;
    v.AppName = "App";
    v.Author = "Author";
    v.ByteCount = 1;
    v.Category = "Category";
    v.CharCount = 2;
    v.CharCountWithSpaces = 3;
    v.Comments = "Comments";
    v.Company = "Company";
    v.DateCreated = Seconds(std::chrono::seconds(86400));
    v.DateLastPrinted = Seconds(std::chrono::seconds(86400 + 3661));
    v.DateLastSaved = Seconds(std::chrono::seconds(2 * 86400));
    v.HiddenSlides = -4;
    v.Keywords = "Keywords";
    v.LastSavedBy = "Editor";
    v.Title = "Title";
    v.Version = "16.0000";
    v.WordCount = 9;
    return v;
}

TEST(Pipeline, AFailingKeywordsGetterLeavesItsRowAndEveryLaterRowEmpty)
{
    TableWindow window;
    window.CurrentPath = "/any";
    ExtractionServices services;
    services.createDocumentComponent = [] {
        return std::make_unique<FixedComponent>(std::make_shared<KeywordsFail>(everyValue()));
    };
    ReadDocumentProperties(window, services);
    const std::map<FieldId, std::string> filled = {
        {FieldId::AppName, "App"}, {FieldId::Author, "Author"}, {FieldId::ByteCount, "1"},
        {FieldId::Category, "Category"}, {FieldId::CharCount, "2"}, {FieldId::CharCountWithSpaces, "3"},
        {FieldId::Comments, "Comments"}, {FieldId::Company, "Company"},
        {FieldId::DateCreated, "01/02/1970"}, {FieldId::DateLastPrinted, "01/02/1970 01:01:01"},
        {FieldId::DateLastSaved, "01/03/1970"}, {FieldId::HiddenSlides, "-4"},
    };
    bool beforeKeywords = true;
    for (FieldId field : kDocumentFields) {
        if (field == FieldId::Keywords)
            beforeKeywords = false;
        const std::string expected = beforeKeywords ? filled.at(field) : "";
        EXPECT_EQ(window.text(field), expected) << CatalogueRow(field).idName;
    }
}

TEST(Pipeline, AFileWithoutPropertiesAfterADocumentLeaves29EmptyBoxes)
{
    char folder[] = "/tmp/tallyglass-pipeline-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string plain = std::string(folder) + "/plain.txt";
    std::ofstream(plain) << "no properties here\n";

    TableWindow window;
    const ExtractionServices services = SystemServices();
    window.CurrentPath = std::string(TALLYGLASS_TEST_DATA) + "/ole/TestEditTime.doc";
    ExtractFile(window, services);
    ASSERT_EQ(window.text(FieldId::Title), "Sample document");
    const DocumentPropertiesComponent* first = window.CurrentDocument.get();

    window.CurrentPath = plain;
    ExtractFile(window, services);
    for (FieldId field : kDocumentFields)
        EXPECT_EQ(window.text(field), "") << CatalogueRow(field).idName;
    EXPECT_EQ(window.text(FieldId::FileName), "plain.txt");
    EXPECT_NE(window.CurrentDocument.get(), first);
    EXPECT_EQ(window.CurrentDocument->GetSummary(), nullptr);

    std::remove(plain.c_str());
    rmdir(folder);
}

} // namespace
} // namespace tallyglass
