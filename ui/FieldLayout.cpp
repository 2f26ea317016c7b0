#include "FieldLayout.h"

namespace tallyglass {

namespace {

// Every row of the window, in catalogue order: column, row within the column, the caption
// label's left edge and width, and the tab indices of label, value box, copy button and tick box.
constexpr std::array<RowLayout, kFieldCount> kLayout = {{
    {FieldId::FileName, Column::Left, 0, 360, 1215, 46, 31, 76, 1},
    {FieldId::Title, Column::Left, 1, 840, 735, 75, 45, 77, 2},
    {FieldId::Author, Column::Left, 2, 720, 855, 74, 44, 78, 3},
    {FieldId::Comments, Column::Left, 3, 480, 1095, 73, 43, 79, 4},
    {FieldId::AppName, Column::Left, 4, 600, 975, 72, 42, 80, 5},
    {FieldId::Version, Column::Left, 5, 840, 735, 71, 41, 81, 6},
    {FieldId::DateCreated, Column::Left, 6, 240, 1335, 52, 40, 82, 7},
    {FieldId::DateLastPrinted, Column::Left, 7, 120, 1455, 51, 39, 83, 8},
    {FieldId::DateLastSaved, Column::Left, 8, 120, 1455, 50, 38, 84, 9},
    {FieldId::TotalEditTime, Column::Left, 9, 120, 1455, 49, 37, 85, 10},
    {FieldId::Template, Column::Left, 10, 240, 1335, 48, 36, 86, 11},
    {FieldId::Shared, Column::Left, 11, 120, 1455, 47, 35, 87, 12},
    {FieldId::Subject, Column::Left, 12, 960, 615, 70, 34, 88, 13},
    {FieldId::Category, Column::Left, 13, 720, 855, 69, 33, 89, 14},
    {FieldId::Company, Column::Left, 14, 600, 975, 68, 32, 90, 15},
    {FieldId::Keywords, Column::Right, 0, 4320, 1695, 67, 30, 91, 106},
    {FieldId::Manager, Column::Right, 1, 4320, 1695, 66, 29, 92, 107},
    {FieldId::LastSavedBy, Column::Right, 2, 4320, 1695, 65, 28, 93, 108},
    {FieldId::WordCount, Column::Right, 3, 4320, 1695, 64, 27, 94, 109},
    {FieldId::PageCount, Column::Right, 4, 4320, 1695, 63, 26, 95, 110},
    {FieldId::ParagraphCount, Column::Right, 5, 4320, 1695, 62, 25, 96, 111},
    {FieldId::LineCount, Column::Right, 6, 4320, 1695, 61, 24, 97, 112},
    {FieldId::CharCount, Column::Right, 7, 4320, 1695, 60, 23, 98, 113},
    {FieldId::CharCountWithSpaces, Column::Right, 8, 4320, 1695, 59, 22, 99, 114},
    {FieldId::ByteCount, Column::Right, 9, 4320, 1695, 58, 21, 100, 115},
    {FieldId::PresentationFormat, Column::Right, 10, 4320, 1695, 57, 20, 101, 116},
    {FieldId::SlideCount, Column::Right, 11, 4320, 1695, 56, 19, 102, 117},
    {FieldId::NoteCount, Column::Right, 12, 4320, 1695, 55, 18, 103, 118},
    {FieldId::HiddenSlides, Column::Right, 13, 4320, 1695, 54, 17, 104, 119},
    {FieldId::MultimediaClips, Column::Right, 14, 4320, 1695, 53, 16, 105, 120},
    {FieldId::FilePath, Column::Left, 0, 120, 1455, 122, 123, 124, 125},
    {FieldId::CreateDate, Column::Left, 1, 360, 1215, 131, 130, 132, 133},
    {FieldId::LastModified, Column::Left, 2, 240, 1335, 135, 134, 136, 137},
    {FieldId::LastAccessed, Column::Left, 3, 240, 1335, 138, 139, 140, 141},
    {FieldId::FileSize, Column::Right, 0, 4320, 1695, 126, 127, 128, 129},
    {FieldId::MD5, Column::Right, 1, 4320, 1695, 142, 143, 144, 145},
    {FieldId::Sha1, Column::Right, 2, 4320, 1695, 146, 147, 148, 149},
    {FieldId::Sha256, Column::Right, 3, 4320, 1695, 150, 151, 152, 153},
}};

constexpr bool indexedByField()
{
    for (std::size_t i = 0; i < kLayout.size(); ++i)
        if (std::size_t(kLayout[i].id) != i)
            return false;
    return true;
}
static_assert(indexedByField(), "the table is indexed by FieldId");

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

const RowLayout& LayoutOf(FieldId id)
{
    return kLayout[std::size_t(id)];
}

RowGeometry GeometryOf(FieldId id)
{
    const RowLayout& row = LayoutOf(id);
    const Frame frame = CatalogueRow(id).frame;
    const FrameColumnLayout l = layoutOf(frame, row.column);
    const int boxTop = l.firstBoxTop + kRowPitch * row.row;
    // The left column of the file-system frame has its captions 20 twips higher below its
    // first row; every other caption sits 60 twips below its box's top.
    const bool raised = frame == Frame::FS && row.column == Column::Left && row.row > 0;
    const int labelTop = boxTop + (raised ? 40 : 60);
    return {
        {row.labelLeft, labelTop, row.labelWidth, kLabelHeight},
        {l.boxLeft, boxTop, kBoxWidth, kBoxHeight},
        {l.copyLeft, boxTop + l.copyTopFromBox, kCopyWidth, kCopyHeight},
        {l.tickLeft, boxTop + l.tickTopFromBox, kTickSize, kTickSize},
    };
}

} // namespace tallyglass
