#pragma once

#include "FieldCatalogue.h"

namespace tallyglass {

enum class Column { Left, Right };

// A rectangle in twips (15 to a pixel at 96 dots per inch), relative to the row's frame.
struct Rect {
    int left, top, width, height;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Where a field's row sits in its frame and where its four controls come in the Tab order.
struct RowLayout {
    FieldId id;
    Column column;
    int row;                      // within the column, from 0
    int labelLeft;
    int labelWidth;
    int tabLabel, tabBox, tabCopy, tabTick;
};

// The four controls of a row, placed from the value box's top.
struct RowGeometry {
    Rect label, box, copy, tick;
};

const RowLayout& LayoutOf(FieldId id);
RowGeometry GeometryOf(FieldId id);

} // namespace tallyglass
