#include "FieldCatalogue.h"

namespace tallyglass {

namespace {

constexpr Catalogue kCatalogue = {{
    { 1, FieldId::FileName, "FileName", "lblFileName", "File Name:", "txtFileName", "chkFileName", "cmdCopyFileName", "File Name: ", Frame::OLE},
    { 2, FieldId::Title, "Title", "lblTitle", "Title:", "txtTitle", "chkTitle", "cmdCopyTitle", "Title: ", Frame::OLE},
    { 3, FieldId::Author, "Author", "lblAuthor", "Author:", "txtAuthor", "chkAuthor", "cmdCopyAuthor", "Author: ", Frame::OLE},
    { 4, FieldId::Comments, "Comments", "lblComments", "Comments:", "txtComments", "chkComments", "cmdCopyComments", "Comments: ", Frame::OLE},
    { 5, FieldId::AppName, "AppName", "lblAppName", "App Name:", "txtAppName", "chkAppName", "cmdCopyAppName", "App Name: ", Frame::OLE},
    { 6, FieldId::Version, "Version", "lblVersion", "Version:", "txtVersion", "chkVersion", "cmdCopyVersion", "Version: ", Frame::OLE},
    { 7, FieldId::DateCreated, "DateCreated", "lblDateCreated", "Date Created:", "txtDateCreated", "chkDateCreated", "cmdCopyDateCreated", "Date Created (OLE): ", Frame::OLE},
    { 8, FieldId::DateLastPrinted, "DateLastPrinted", "lblDateLastPrinted", "Date Last Printed:", "txtDateLastPrinted", "chkDateLastPrinted", "cmdCopyDateLastPrinted", "Date Last Printed: ", Frame::OLE},
    { 9, FieldId::DateLastSaved, "DateLastSaved", "lblDateLastSaved", "Date Last Saved:", "txtDateLastSaved", "chkDateLastSaved", "cmdCopyDateLastSaved", "Date Last Saved: ", Frame::OLE},
    {10, FieldId::TotalEditTime, "TotalEditTime", "lblTotalEditTime", "Total Edit Time:", "txtTotalEditTime", "chkTotalEditTime", "cmdCopyTotalEditTime", "Total Edit Time: ", Frame::OLE},
    {11, FieldId::Template, "Template", "lblTemplate", "Template:", "txtTemplate", "chkTemplate", "cmdCopyTemplate", "Template: ", Frame::OLE},
    {12, FieldId::Shared, "Shared", "lblShared", "Shared:", "txtShared", "chkShared", "cmdCopyShared", "Shared: ", Frame::OLE},
    {13, FieldId::Subject, "Subject", "lblSubject", "Subject:", "txtSubject", "chkSubject", "cmdCopySubject", "Subject: ", Frame::OLE},
    {14, FieldId::Category, "Category", "lblCategory", "Category:", "txtCategory", "chkCategory", "cmdCopyCategory", "Category: ", Frame::OLE},
    {15, FieldId::Company, "Company", "lblCompany", "Company:", "txtCompany", "chkCompany", "cmdCopyCompany", "Company: ", Frame::OLE},
    {16, FieldId::Keywords, "Keywords", "lblKeywords", "Keywords:", "txtKeywords", "chkKeywords", "cmdCopyKeywords", "Keywords: ", Frame::OLE},
    {17, FieldId::Manager, "Manager", "lblManager", "Manager:", "txtManager", "chkManager", "cmdCopyManager", "Manager: ", Frame::OLE},
    {18, FieldId::LastSavedBy, "LastSavedBy", "lblLastSavedBy", "Last Saved By:", "txtLastSavedBy", "chkLastSaveBy", "cmdCopyLastSavedBy", "Last Saved By: ", Frame::OLE},
    {19, FieldId::WordCount, "WordCount", "lblWordCount", "Word Count:", "txtWordCount", "chkWordCount", "cmdCopyWordCount", "Word Count: ", Frame::OLE},
    {20, FieldId::PageCount, "PageCount", "lblPageCount", "Page Count:", "txtPageCount", "chkPageCount", "cmdCopyPageCount", "Page Count: ", Frame::OLE},
    {21, FieldId::ParagraphCount, "ParagraphCount", "lblParagraphCount", "Paragraph Count:", "txtParagraphCount", "chkParagraphCount", "cmdCopyParagraphCount", "Paragraph Count: ", Frame::OLE},
    {22, FieldId::LineCount, "LineCount", "lblLineCount", "Line Count:", "txtLineCount", "chkLineCount", "cmdCopyLineCount", "Line Count: ", Frame::OLE},
    {23, FieldId::CharCount, "CharCount", "lblCharCount", "Character Count:", "txtCharCount", "chkCharCount", "cmdCopyCharCount", "Character Count: ", Frame::OLE},
    {24, FieldId::CharCountWithSpaces, "CharCountWithSpaces", "lblCharCountWithSpaces", "Chars (incl. spaces):", "txtCharCountWithSpaces", "chkCharCountSpaces", "cmdCopyCharCountSpaces", "Character Count (with spaces): ", Frame::OLE},
    {25, FieldId::ByteCount, "ByteCount", "lblByteCount", "Byte Count:", "txtByteCount", "chkByteCount", "cmdCopyByteCount", "Byte Count: ", Frame::OLE},
    {26, FieldId::PresentationFormat, "PresentationFormat", "lblPresentationFormat", "Presentation Format:", "txtPresentationFormat", "chkPresentationFormat", "cmdCopyPresFormat", "Presentation Format: ", Frame::OLE},
    {27, FieldId::SlideCount, "SlideCount", "lblSlideCount", "Slide Count:", "txtSlideCount", "chkSlideCount", "cmdCopySlideCount", "Slide Count: ", Frame::OLE},
    {28, FieldId::NoteCount, "NoteCount", "lblNoteCount", "Note Count:", "txtNoteCount", "chkNoteCount", "cmdCopyNoteCount", "Note Count: ", Frame::OLE},
    {29, FieldId::HiddenSlides, "HiddenSlides", "lblHiddenSlides", "Hidden Slides:", "txtHiddenSlides", "chkHiddenSlides", "cmdCopyHiddenSlides", "Hidden Slides: ", Frame::OLE},
    {30, FieldId::MultimediaClips, "MultimediaClips", "lblMultimediaClips", "Multimedia Clips:", "txtMultimediaClips", "chkMultimediaClips", "cmdCopyMultimediaClips", "Multimedia Clips: ", Frame::OLE},
    {31, FieldId::FilePath, "FilePath", "lblFilePath", "File Path:", "txtFilePath", "chkFilePath", "cmdCopyFilePath", "File Path: ", Frame::FS},
    {32, FieldId::CreateDate, "CreateDate", "lblCreateDate", "Created Date:", "txtCreateDate", "chkCreateDate", "cmdCopyCreateDate", "Created Date (FS): ", Frame::FS},
    {33, FieldId::LastModified, "LastModified", "lblLastModified", "Last Modified:", "txtLastModified", "chkLastModified", "cmdCopyLastModified", "Last Modified (FS): ", Frame::FS},
    {34, FieldId::LastAccessed, "LastAccessed", "lblLastAccessed", "Last Accessed:", "txtLastAccessed", "chkLastAccessed", "cmdCopyLastAccessed", "Last Accessed (FS): ", Frame::FS},
    {35, FieldId::FileSize, "FileSize", "lblFileSize", "File Size:", "txtFileSize", "chkFileSize", "cmdCopyFileSize", "File Size: ", Frame::FS},
    {36, FieldId::MD5, "MD5", "lblMD5", "MD5 Hash:", "txtMD5", "chkMD5", "cmdCopyMD5", "MD5 Hash: ", Frame::FS},
    {37, FieldId::Sha1, "Sha1", "lblSHA1", "SHA-1 Hash:", "txtSha1", "chkSha1", "cmdCopySha1", "SHA-1 Hash: ", Frame::FS},
    {38, FieldId::Sha256, "Sha256", "lblSha256", "SHA-256 Hash:", "txtSha256", "chkSha256", "cmdCopySha256", "SHA-256 Hash: ", Frame::FS},
}};

constexpr bool positionsMatchIds()
{
    for (std::size_t i = 0; i < kCatalogue.size(); ++i)
        if (kCatalogue[i].position != int(i) + 1 || std::size_t(kCatalogue[i].id) != i)
            return false;
    return true;
}
static_assert(positionsMatchIds(), "the table is indexed both by position and by FieldId");

} // namespace

const Catalogue& FieldCatalogue()
{
    return kCatalogue;
}

const FieldRow& CatalogueRow(FieldId id)
{
    return kCatalogue[std::size_t(id)];
}

} // namespace tallyglass
