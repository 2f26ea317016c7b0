#pragma once

#include <QFont>

class QApplication;
class QWidget;

namespace tallyglass {

// The one font of every window: an 8-point sans serif standing in for the classic dialog font.
// Liberation Sans where it is installed, the desktop's sans serif otherwise.
QFont DialogFont();

// Gives a window the dialog font with every one of its properties set, so that each of its
// controls inherits all of it. The application's font alone is not enough: a platform theme may
// give classes fonts of their own (buttons, labels), which a control takes before the
// application's.
void UseDialogFont(QWidget* window);

// Makes the compiled-in art available and gives the application its font and icon. The
// program's start-up and the tests both call it before they create a window.
void ApplyApplicationLook(QApplication& app);

} // namespace tallyglass
