#pragma once

#include <QPixmap>
#include <QString>

namespace tallyglass {

// Makes the compiled-in art (the icon, the banners, the About picture, the copy glyph) available
// under ":/". The art lives in a static library, whose resource table the linker would drop
// because no code names it; calling this names it. Safe to call any number of times.
void InitArtResources();

// A picture of the art by name (":/images/<name>.png"), at twice its pixels (<name>@2x.png) on
// a screen whose device pixel ratio asks for more than one; either way it shows at the size of
// the 1x picture.
QPixmap ArtPicture(const QString& name, qreal devicePixelRatio);

} // namespace tallyglass
