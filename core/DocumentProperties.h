#pragma once

#include "TextForms.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tallyglass {

struct DocumentProperties;

// A date property: no value when the document does not carry one.
using OleDate = std::optional<Seconds>;

// The 29 properties a document may carry, each with the empty value of its kind (empty text,
// 0, no date, false) where the document does not store it. Every format reader fills one.
struct SummaryValues {
    std::string Title, Subject, Author, Keywords, Comments, Template, LastSavedBy;
    std::int32_t TotalEditTime = 0; // whole minutes
    OleDate DateLastPrinted, DateCreated, DateLastSaved;
    std::int32_t PageCount = 0, WordCount = 0, CharCount = 0;
    std::string AppName, Category, PresentationFormat;
    std::int32_t ByteCount = 0, LineCount = 0, ParagraphCount = 0, SlideCount = 0, NoteCount = 0,
                 HiddenSlides = 0, MultimediaClips = 0;
    std::string Manager, Company;
    std::int32_t CharCountWithSpaces = 0;
    bool Shared = false;
    std::string Version;

    friend bool operator==(const SummaryValues&, const SummaryValues&) = default;
};

// The summary properties of an opened document. Each getter answers true and sets its value,
// or answers false when it fails; a missing property is not a failure but the empty value.
class DocumentSummary {
public:
    virtual ~DocumentSummary() = default;
    virtual bool Title(std::string& out) = 0;
    virtual bool Subject(std::string& out) = 0;
    virtual bool Author(std::string& out) = 0;
    virtual bool Keywords(std::string& out) = 0;
    virtual bool Comments(std::string& out) = 0;
    virtual bool Template(std::string& out) = 0;
    virtual bool LastSavedBy(std::string& out) = 0;
    virtual bool TotalEditTime(std::int32_t& out) = 0;
    virtual bool DateLastPrinted(OleDate& out) = 0;
    virtual bool DateCreated(OleDate& out) = 0;
    virtual bool DateLastSaved(OleDate& out) = 0;
    virtual bool PageCount(std::int32_t& out) = 0;
    virtual bool WordCount(std::int32_t& out) = 0;
    virtual bool CharCount(std::int32_t& out) = 0;
    virtual bool AppName(std::string& out) = 0;
    virtual bool Category(std::string& out) = 0;
    virtual bool PresentationFormat(std::string& out) = 0;
    virtual bool ByteCount(std::int32_t& out) = 0;
    virtual bool LineCount(std::int32_t& out) = 0;
    virtual bool ParagraphCount(std::int32_t& out) = 0;
    virtual bool SlideCount(std::int32_t& out) = 0;
    virtual bool NoteCount(std::int32_t& out) = 0;
    virtual bool HiddenSlides(std::int32_t& out) = 0;
    virtual bool MultimediaClips(std::int32_t& out) = 0;
    virtual bool Manager(std::string& out) = 0;
    virtual bool Company(std::string& out) = 0;
    virtual bool CharCountWithSpaces(std::int32_t& out) = 0;
    virtual bool Shared(bool& out) = 0;
    virtual bool Version(std::string& out) = 0;
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

// A summary answered from values read beforehand; it never fails.
class StoredSummary : public DocumentSummary {
public:
    explicit StoredSummary(SummaryValues values) : m_values(std::move(values)) {}
    const SummaryValues& values() const { return m_values; }

    bool Title(std::string& out) override { out = m_values.Title; return true; }
    bool Subject(std::string& out) override { out = m_values.Subject; return true; }
    bool Author(std::string& out) override { out = m_values.Author; return true; }
    bool Keywords(std::string& out) override { out = m_values.Keywords; return true; }
    bool Comments(std::string& out) override { out = m_values.Comments; return true; }
    bool Template(std::string& out) override { out = m_values.Template; return true; }
    bool LastSavedBy(std::string& out) override { out = m_values.LastSavedBy; return true; }
    bool TotalEditTime(std::int32_t& out) override { out = m_values.TotalEditTime; return true; }
    bool DateLastPrinted(OleDate& out) override { out = m_values.DateLastPrinted; return true; }
    bool DateCreated(OleDate& out) override { out = m_values.DateCreated; return true; }
    bool DateLastSaved(OleDate& out) override { out = m_values.DateLastSaved; return true; }
    bool PageCount(std::int32_t& out) override { out = m_values.PageCount; return true; }
    bool WordCount(std::int32_t& out) override { out = m_values.WordCount; return true; }
    bool CharCount(std::int32_t& out) override { out = m_values.CharCount; return true; }
    bool AppName(std::string& out) override { out = m_values.AppName; return true; }
    bool Category(std::string& out) override { out = m_values.Category; return true; }
    bool PresentationFormat(std::string& out) override { out = m_values.PresentationFormat; return true; }
    bool ByteCount(std::int32_t& out) override { out = m_values.ByteCount; return true; }
    bool LineCount(std::int32_t& out) override { out = m_values.LineCount; return true; }
    bool ParagraphCount(std::int32_t& out) override { out = m_values.ParagraphCount; return true; }
    bool SlideCount(std::int32_t& out) override { out = m_values.SlideCount; return true; }
    bool NoteCount(std::int32_t& out) override { out = m_values.NoteCount; return true; }
    bool HiddenSlides(std::int32_t& out) override { out = m_values.HiddenSlides; return true; }
    bool MultimediaClips(std::int32_t& out) override { out = m_values.MultimediaClips; return true; }
    bool Manager(std::string& out) override { out = m_values.Manager; return true; }
    bool Company(std::string& out) override { out = m_values.Company; return true; }
    bool CharCountWithSpaces(std::int32_t& out) override { out = m_values.CharCountWithSpaces; return true; }
    bool Shared(bool& out) override { out = m_values.Shared; return true; }
    bool Version(std::string& out) override { out = m_values.Version; return true; }

private:
    SummaryValues m_values;
};

} // namespace tallyglass
