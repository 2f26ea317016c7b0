#pragma once

#include <QCheckBox>

namespace tallyglass {

// A bare tick box: the square alone, filling the whole control. The styles draw a check box's
// square with a margin that a 13-pixel control has no room for.
class TickBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TickBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};

} // namespace tallyglass
