#include "CopyGlyph.h"

#include "ArtResources.h"

#include <QImage>

namespace tallyglass {

QPixmap CopyGlyphPixmap()
{
    InitArtResources();
    QImage image(QStringLiteral(":/images/copy.png"));
    image = image.convertToFormat(QImage::Format_ARGB32);
    // Only the exact key colour goes; a nearly red pixel of the drawing stays as it is.
    const QRgb key = qRgb(255, 0, 0);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == key)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return QPixmap::fromImage(image);
}

QIcon CopyGlyph()
{
    return QIcon(CopyGlyphPixmap());
}

} // namespace tallyglass
