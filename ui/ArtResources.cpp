#include "ArtResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares a function of the global namespace, so it cannot be called from
// inside ours.
static void InitTallyglassQrc()
{
    Q_INIT_RESOURCE(tallyglass);
}

namespace tallyglass {

void InitArtResources()
{
    InitTallyglassQrc();
}

} // namespace tallyglass
