#include "TickBox.h"

#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include <algorithm>

namespace tallyglass {

TickBox::TickBox(QWidget* parent) : QCheckBox(parent)
{
}

void TickBox::paintEvent(QPaintEvent*)
{
    // Flat, in the palette's window-background and window-text colours: the outline and the
    // tick take the text colour, so they stand out from the ground in a light palette and in a
    // dark one alike, where a style's shaded outline may all but vanish.
    QStylePainter painter(this);
    const QPalette& colours = palette();
    const QRect square = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(rect(), colours.color(QPalette::Base));
    painter.setPen(QPen(colours.color(QPalette::Text), 1));
    painter.drawRect(square);
    if (checkState() != Qt::Unchecked) {
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal w = square.width();
        const qreal h = square.height();
        QPen tick(colours.color(isEnabled() ? QPalette::Text : QPalette::Mid), std::max(1.5, w / 7.0));
        tick.setCapStyle(Qt::SquareCap);
        tick.setJoinStyle(Qt::MiterJoin);
        painter.setPen(tick);
        const QPointF points[] = {{w * 0.22, h * 0.50}, {w * 0.42, h * 0.72}, {w * 0.78, h * 0.28}};
        painter.drawPolyline(points, 3);
        painter.setRenderHint(QPainter::Antialiasing, false);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect();
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool TickBox::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

} // namespace tallyglass
