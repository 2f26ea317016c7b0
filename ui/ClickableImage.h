#pragma once

#include <QLabel>

namespace tallyglass {

// A picture shown at its natural size that reports a click: a press and a release of the left
// button on it.
class ClickableImage : public QLabel {
    Q_OBJECT
public:
    explicit ClickableImage(const QPixmap& picture, QWidget* parent = nullptr);

    // What a click does, for the accessibility bus's press action.
    void Press() { emit clicked(); }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

} // namespace tallyglass
