#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace tallyglass {

// The 38 fields, in catalogue order: the order of both clipboard reports and of the window.
enum class FieldId {
    FileName, Title, Author, Comments, AppName, Version, DateCreated, DateLastPrinted,
    DateLastSaved, TotalEditTime, Template, Shared, Subject, Category, Company, Keywords,
    Manager, LastSavedBy, WordCount, PageCount, ParagraphCount, LineCount, CharCount,
    CharCountWithSpaces, ByteCount, PresentationFormat, SlideCount, NoteCount, HiddenSlides,
    MultimediaClips, FilePath, CreateDate, LastModified, LastAccessed, FileSize, MD5, Sha1,
    Sha256,
};

inline constexpr std::size_t kFieldCount = 38;

enum class Frame { OLE, FS };

// One row of the catalogue: the field's names and texts, and the frame that holds it. Where its
// controls sit on the screen is the window's business.
struct FieldRow {
    int position;                 // 1 to 38
    FieldId id;
    std::string_view idName;      // the value box's name without "txt"
    std::string_view labelName;
    std::string_view caption;
    std::string_view boxName;
    std::string_view tickName;
    std::string_view copyName;
    std::string_view reportLabel; // ends in one space
    Frame frame;
};

using Catalogue = std::array<FieldRow, kFieldCount>;

const Catalogue& FieldCatalogue();
const FieldRow& CatalogueRow(FieldId id);

} // namespace tallyglass
