#pragma once

#include <QPushButton>

namespace tallyglass {

// A push button that Enter presses while it has the keyboard focus, as Space does. It is never
// a default or auto-default button, so Enter elsewhere in its window presses nothing, and
// Escape never presses it.
class PushButton : public QPushButton {
    Q_OBJECT
public:
    explicit PushButton(const QString& text, QWidget* parent = nullptr);
    explicit PushButton(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace tallyglass
