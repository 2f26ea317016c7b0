#pragma once

#include <QIcon>
#include <QPixmap>

namespace tallyglass {

// The 16 x 16 glyph of two overlapping sheets shown on every copy button. It is drawn on a
// pure red ground (255, 0, 0), and exactly those pixels are made transparent here. At a device
// pixel ratio above one it is the 32 x 32 drawing, shown at 16 x 16.
QPixmap CopyGlyphPixmap(qreal devicePixelRatio = 1.0);
// The glyph at both densities; the button picks the one its screen asks for.
QIcon CopyGlyph();

} // namespace tallyglass
