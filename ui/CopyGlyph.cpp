#include "CopyGlyph.h"

#include "ArtResources.h"

#include <QImage>

namespace tallyglass {

QPixmap CopyGlyphPixmap(qreal devicePixelRatio)
{
    const QPixmap picture = ArtPicture(QStringLiteral("copy"), devicePixelRatio);
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    // Only the exact key colour goes; a nearly red pixel of the drawing stays as it is.
    const QRgb key = qRgb(255, 0, 0);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == key)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    QPixmap glyph = QPixmap::fromImage(image);
    glyph.setDevicePixelRatio(picture.devicePixelRatio());
    return glyph;
}

QIcon CopyGlyph()
{
    QIcon icon(CopyGlyphPixmap(1.0));
    icon.addPixmap(CopyGlyphPixmap(2.0));
    return icon;
}

} // namespace tallyglass
