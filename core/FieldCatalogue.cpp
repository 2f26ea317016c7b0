#include "FieldCatalogue.h"

namespace tallyglass {

namespace {

constexpr Catalogue kCatalogue = {{
    { 1, FieldId::FileName, "FileName", "lblFileName", "File Name:", "txtFileName", "chkFileName", "cmdCopyFileName", "File Name: ", Frame::OLE, Column::Left, 0, 360, 1215, 46, 31, 76, 1},
    { 2, FieldId::Title, "Title", "lblTitle", "Title:", "txtTitle", "chkTitle", "cmdCopyTitle", "Title: ", Frame::OLE, Column::Left, 1, 840, 735, 75, 45, 77, 2},
    { 3, FieldId::Author, "Author", "lblAuthor", "Author:", "txtAuthor", "chkAuthor", "cmdCopyAuthor", "Author: ", Frame::OLE, Column::Left, 2, 720, 855, 74, 44, 78, 3},
    { 4, FieldId::Comments, "Comments", "lblComments", "Comments:", "txtComments", "chkComments", "cmdCopyComments", "Comments: ", Frame::OLE, Column::Left, 3, 480, 1095, 73, 43, 79, 4},
    { 5, FieldId::AppName, "AppName", "lblAppName", "App Name:", "txtAppName", "chkAppName", "cmdCopyAppName", "App Name: ", Frame::OLE, Column::Left, 4, 600, 975, 72, 42, 80, 5},
    { 6, FieldId::Version, "Version", "lblVersion", "Version:", "txtVersion", "chkVersion", "cmdCopyVersion", "Version: ", Frame::OLE, Column::Left, 5, 840, 735, 71, 41, 81, 6},
    { 7, FieldId::DateCreated, "DateCreated", "lblDateCreated", "Date Created:", "txtDateCreated", "chkDateCreated", "cmdCopyDateCreated", "Date Created (OLE): ", Frame::OLE, Column::Left, 6, 240, 1335, 52, 40, 82, 7},
    { 8, FieldId::DateLastPrinted, "DateLastPrinted", "lblDateLastPrinted", "Date Last Printed:", "txtDateLastPrinted", "chkDateLastPrinted", "cmdCopyDateLastPrinted", "Date Last Printed: ", Frame::OLE, Column::Left, 7, 120, 1455, 51, 39, 83, 8},
    { 9, FieldId::DateLastSaved, "DateLastSaved", "lblDateLastSaved", "Date Last Saved:", "txtDateLastSaved", "chkDateLastSaved", "cmdCopyDateLastSaved", "Date Last Saved: ", Frame::OLE, Column::Left, 8, 120, 1455, 50, 38, 84, 9},
    {10, FieldId::TotalEditTime, "TotalEditTime", "lblTotalEditTime", "Total Edit Time:", "txtTotalEditTime", "chkTotalEditTime", "cmdCopyTotalEditTime", "Total Edit Time: ", Frame::OLE, Column::Left, 9, 120, 1455, 49, 37, 85, 10},
    {11, FieldId::Template, "Template", "lblTemplate", "Template:", "txtTemplate", "chkTemplate", "cmdCopyTemplate", "Template: ", Frame::OLE, Column::Left, 10, 240, 1335, 48, 36, 86, 11},
    {12, FieldId::Shared, "Shared", "lblShared", "Shared:", "txtShared", "chkShared", "cmdCopyShared", "Shared: ", Frame::OLE, Column::Left, 11, 120, 1455, 47, 35, 87, 12},
    {13, FieldId::Subject, "Subject", "lblSubject", "Subject:", "txtSubject", "chkSubject", "cmdCopySubject", "Subject: ", Frame::OLE, Column::Left, 12, 960, 615, 70, 34, 88, 13},
    {14, FieldId::Category, "Category", "lblCategory", "Category:", "txtCategory", "chkCategory", "cmdCopyCategory", "Category: ", Frame::OLE, Column::Left, 13, 720, 855, 69, 33, 89, 14},
    {15, FieldId::Company, "Company", "lblCompany", "Company:", "txtCompany", "chkCompany", "cmdCopyCompany", "Company: ", Frame::OLE, Column::Left, 14, 600, 975, 68, 32, 90, 15},
    {16, FieldId::Keywords, "Keywords", "lblKeywords", "Keywords:", "txtKeywords", "chkKeywords", "cmdCopyKeywords", "Keywords: ", Frame::OLE, Column::Right, 0, 4320, 1695, 67, 30, 91, 106},
    {17, FieldId::Manager, "Manager", "lblManager", "Manager:", "txtManager", "chkManager", "cmdCopyManager", "Manager: ", Frame::OLE, Column::Right, 1, 4320, 1695, 66, 29, 92, 107},
    {18, FieldId::LastSavedBy, "LastSavedBy", "lblLastSavedBy", "Last Saved By:", "txtLastSavedBy", "chkLastSaveBy", "cmdCopyLastSavedBy", "Last Saved By: ", Frame::OLE, Column::Right, 2, 4320, 1695, 65, 28, 93, 108},
    {19, FieldId::WordCount, "WordCount", "lblWordCount", "Word Count:", "txtWordCount", "chkWordCount", "cmdCopyWordCount", "Word Count: ", Frame::OLE, Column::Right, 3, 4320, 1695, 64, 27, 94, 109},
    {20, FieldId::PageCount, "PageCount", "lblPageCount", "Page Count:", "txtPageCount", "chkPageCount", "cmdCopyPageCount", "Page Count: ", Frame::OLE, Column::Right, 4, 4320, 1695, 63, 26, 95, 110},
    {21, FieldId::ParagraphCount, "ParagraphCount", "lblParagraphCount", "Paragraph Count:", "txtParagraphCount", "chkParagraphCount", "cmdCopyParagraphCount", "Paragraph Count: ", Frame::OLE, Column::Right, 5, 4320, 1695, 62, 25, 96, 111},
    {22, FieldId::LineCount, "LineCount", "lblLineCount", "Line Count:", "txtLineCount", "chkLineCount", "cmdCopyLineCount", "Line Count: ", Frame::OLE, Column::Right, 6, 4320, 1695, 61, 24, 97, 112},
    {23, FieldId::CharCount, "CharCount", "lblCharCount", "Character Count:", "txtCharCount", "chkCharCount", "cmdCopyCharCount", "Character Count: ", Frame::OLE, Column::Right, 7, 4320, 1695, 60, 23, 98, 113},
    {24, FieldId::CharCountWithSpaces, "CharCountWithSpaces", "lblCharCountWithSpaces", "Chars (incl. spaces):", "txtCharCountWithSpaces", "chkCharCountSpaces", "cmdCopyCharCountSpaces", "Character Count (with spaces): ", Frame::OLE, Column::Right, 8, 4320, 1695, 59, 22, 99, 114},
    {25, FieldId::ByteCount, "ByteCount", "lblByteCount", "Byte Count:", "txtByteCount", "chkByteCount", "cmdCopyByteCount", "Byte Count: ", Frame::OLE, Column::Right, 9, 4320, 1695, 58, 21, 100, 115},
    {26, FieldId::PresentationFormat, "PresentationFormat", "lblPresentationFormat", "Presentation Format:", "txtPresentationFormat", "chkPresentationFormat", "cmdCopyPresFormat", "Presentation Format: ", Frame::OLE, Column::Right, 10, 4320, 1695, 57, 20, 101, 116},
    {27, FieldId::SlideCount, "SlideCount", "lblSlideCount", "Slide Count:", "txtSlideCount", "chkSlideCount", "cmdCopySlideCount", "Slide Count: ", Frame::OLE, Column::Right, 11, 4320, 1695, 56, 19, 102, 117},
    {28, FieldId::NoteCount, "NoteCount", "lblNoteCount", "Note Count:", "txtNoteCount", "chkNoteCount", "cmdCopyNoteCount", "Note Count: ", Frame::OLE, Column::Right, 12, 4320, 1695, 55, 18, 103, 118},
    {29, FieldId::HiddenSlides, "HiddenSlides", "lblHiddenSlides", "Hidden Slides:", "txtHiddenSlides", "chkHiddenSlides", "cmdCopyHiddenSlides", "Hidden Slides: ", Frame::OLE, Column::Right, 13, 4320, 1695, 54, 17, 104, 119},
    {30, FieldId::MultimediaClips, "MultimediaClips", "lblMultimediaClips", "Multimedia Clips:", "txtMultimediaClips", "chkMultimediaClips", "cmdCopyMultimediaClips", "Multimedia Clips: ", Frame::OLE, Column::Right, 14, 4320, 1695, 53, 16, 105, 120},
    {31, FieldId::FilePath, "FilePath", "lblFilePath", "File Path:", "txtFilePath", "chkFilePath", "cmdCopyFilePath", "File Path: ", Frame::FS, Column::Left, 0, 120, 1455, 122, 123, 124, 125},
    {32, FieldId::CreateDate, "CreateDate", "lblCreateDate", "Created Date:", "txtCreateDate", "chkCreateDate", "cmdCopyCreateDate", "Created Date (FS): ", Frame::FS, Column::Left, 1, 360, 1215, 131, 130, 132, 133},
    {33, FieldId::LastModified, "LastModified", "lblLastModified", "Last Modified:", "txtLastModified", "chkLastModified", "cmdCopyLastModified", "Last Modified (FS): ", Frame::FS, Column::Left, 2, 240, 1335, 135, 134, 136, 137},
    {34, FieldId::LastAccessed, "LastAccessed", "lblLastAccessed", "Last Accessed:", "txtLastAccessed", "chkLastAccessed", "cmdCopyLastAccessed", "Last Accessed (FS): ", Frame::FS, Column::Left, 3, 240, 1335, 138, 139, 140, 141},
    {35, FieldId::FileSize, "FileSize", "lblFileSize", "File Size:", "txtFileSize", "chkFileSize", "cmdCopyFileSize", "File Size: ", Frame::FS, Column::Right, 0, 4320, 1695, 126, 127, 128, 129},
    {36, FieldId::MD5, "MD5", "lblMD5", "MD5 Hash:", "txtMD5", "chkMD5", "cmdCopyMD5", "MD5 Hash: ", Frame::FS, Column::Right, 1, 4320, 1695, 142, 143, 144, 145},
    {37, FieldId::Sha1, "Sha1", "lblSHA1", "SHA-1 Hash:", "txtSha1", "chkSha1", "cmdCopySha1", "SHA-1 Hash: ", Frame::FS, Column::Right, 2, 4320, 1695, 146, 147, 148, 149},
    {38, FieldId::Sha256, "Sha256", "lblSha256", "SHA-256 Hash:", "txtSha256", "chkSha256", "cmdCopySha256", "SHA-256 Hash: ", Frame::FS, Column::Right, 3, 4320, 1695, 150, 151, 152, 153},
}};

constexpr bool positionsMatchIds()
{
    for (std::size_t i = 0; i < kCatalogue.size(); ++i)
        if (kCatalogue[i].position != int(i) + 1 || std::size_t(kCatalogue[i].id) != i)
            return false;
    return true;
}
static_assert(positionsMatchIds(), "the table is indexed both by position and by FieldId");

// Offsets of a row's controls within their frame. The two frames differ by a few twips, as
// the window was laid out by hand; the numbers are kept as they were placed.
struct FrameColumnLayout {
    int firstBoxTop;
    int boxLeft, copyLeft, tickLeft;
    int copyTopFromBox, tickTopFromBox;
};

constexpr FrameColumnLayout layoutOf(Frame frame, Column column)
{
    const bool left = column == Column::Left;
    if (frame == Frame::OLE)
        return {255, left ? 1680 : 6120, left ? 3645 : 8085, left ? 4005 : 8445, -15, 45};
    return {180, left ? 1680 : 6120, left ? 3640 : 8085, left ? 4000 : 8445, -20, 40};
}

constexpr int kRowPitch = 300;
constexpr int kBoxWidth = 1935, kBoxHeight = 285;
constexpr int kLabelHeight = 255;
constexpr int kCopyWidth = 315, kCopyHeight = 300;
constexpr int kTickSize = 195;

} // namespace

const Catalogue& FieldCatalogue()
{
    return kCatalogue;
}

const FieldRow& CatalogueRow(FieldId id)
{
    return kCatalogue[std::size_t(id)];
}

RowGeometry GeometryOf(const FieldRow& row)
{
    const FrameColumnLayout l = layoutOf(row.frame, row.column);
    const int boxTop = l.firstBoxTop + kRowPitch * row.row;
    // The left column of the file-system frame has its captions 20 twips higher below its
    // first row; every other caption sits 60 twips below its box's top.
    const bool raised = row.frame == Frame::FS && row.column == Column::Left && row.row > 0;
    const int labelTop = boxTop + (raised ? 40 : 60);
    return {
        {row.labelLeft, labelTop, row.labelWidth, kLabelHeight},
        {l.boxLeft, boxTop, kBoxWidth, kBoxHeight},
        {l.copyLeft, boxTop + l.copyTopFromBox, kCopyWidth, kCopyHeight},
        {l.tickLeft, boxTop + l.tickTopFromBox, kTickSize, kTickSize},
    };
}

std::optional<FieldId> FieldIdFromName(std::string_view idName)
{
    for (const FieldRow& row : kCatalogue)
        if (row.idName == idName)
            return row.id;
    return std::nullopt;
}

} // namespace tallyglass
