#include "TickBox.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace tallyglass {

TickBox::TickBox(QWidget* parent) : QCheckBox(parent)
{
}

void TickBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.rect = rect();
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, option);
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
