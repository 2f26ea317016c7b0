#pragma once

namespace tallyglass {

// Makes the compiled-in art (the icon, the banners, the About picture, the copy glyph) available
// under ":/". The art lives in a static library, whose resource table the linker would drop
// because no code names it; calling this names it. Safe to call any number of times.
void InitArtResources();

} // namespace tallyglass
