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

QPixmap ArtPicture(const QString& name, qreal devicePixelRatio)
{
    InitArtResources();
    if (devicePixelRatio > 1.0) {
        QPixmap doubled(QStringLiteral(":/images/%1@2x.png").arg(name));
        if (!doubled.isNull()) {
            doubled.setDevicePixelRatio(2.0);
            return doubled;
        }
    }
    return QPixmap(QStringLiteral(":/images/%1.png").arg(name));
}

} // namespace tallyglass
