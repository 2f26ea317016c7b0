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

// A format that leaves what it does not hold blank (one that never carries a count, say)
// shows empty boxes where the compound and package readers show 0 and False; a held value is
// shown the same either way, zero and false among them.
TEST(Pipeline, AbsentValuesShowAsTheirFormatSays)
{
    DocumentProperties model;
    model.opened = true;
    model.set(FieldId::Title, std::string("Held"));
    model.set(FieldId::PageCount, std::int32_t(0));
    const struct {
        AbsentForm absent;
        std::string wordCount, shared, hiddenSlides, dateCreated, company;
    } cases[] = {
        {AbsentForm::EmptyOfKind, "0", "False", "0", "", ""},
        {AbsentForm::Blank, "", "", "", "", ""},
    };
    for (const auto& c : cases) {
        model.absent = c.absent;
        TableWindow window;
        window.CurrentPath = "/any";
        ExtractionServices services;
        services.createDocumentComponent = [&] {
            return std::make_unique<FixedComponent>(std::make_shared<StoredSummary>(model));
        };
        ReadDocumentProperties(window, services);
        EXPECT_EQ(window.text(FieldId::Title), "Held");
        EXPECT_EQ(window.text(FieldId::PageCount), "0") << "a held zero is shown";
        EXPECT_EQ(window.text(FieldId::WordCount), c.wordCount);
        EXPECT_EQ(window.text(FieldId::Shared), c.shared);
        EXPECT_EQ(window.text(FieldId::HiddenSlides), c.hiddenSlides);
        EXPECT_EQ(window.text(FieldId::DateCreated), c.dateCreated);
        EXPECT_EQ(window.text(FieldId::Company), c.company);
    }
}

TEST(Pipeline, TheComponentKeepsTheModelOfTheLatestOpen)
{
    OfficePropertiesComponent component;
    EXPECT_EQ(component.Properties(), nullptr);
    ASSERT_TRUE(component.OpenFile(std::string(TALLYGLASS_TEST_DATA) + "/ole/FlashPix.ppt", 0, 2));
    ASSERT_NE(component.Properties(), nullptr);
    EXPECT_EQ(component.Properties()->format, "compound");
    EXPECT_EQ(component.Properties()->custom.size(), 4u);
    EXPECT_FALSE(component.OpenFile("/nonexistent/file.doc", 0, 2));
    ASSERT_NE(component.Properties(), nullptr);
    EXPECT_FALSE(component.Properties()->opened);
    EXPECT_TRUE(component.Properties()->custom.empty());
    ASSERT_EQ(component.Properties()->diagnostics.size(), 1u);
}

} // namespace
} // namespace tallyglass
