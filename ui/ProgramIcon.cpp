#include "ProgramIcon.h"

#include "ArtResources.h"

namespace tallyglass {

QIcon ProgramIcon()
{
    // Each size was drawn for itself, so the small ones stay legible; none is scaled from another.
    InitArtResources();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/tallyglass-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace tallyglass
