#pragma once

#include <QIcon>
#include <QPixmap>

namespace tallyglass {

// The 16 x 16 glyph of two overlapping sheets shown on every copy button. It is drawn on a
// pure red ground (255, 0, 0), and exactly those pixels are made transparent here.
QPixmap CopyGlyphPixmap();
QIcon CopyGlyph();

} // namespace tallyglass
