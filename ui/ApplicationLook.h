#pragma once

#include <QFont>

class QApplication;

namespace tallyglass {

// The one font of every window: an 8-point sans serif standing in for the classic dialog font.
// Liberation Sans where it is installed, the desktop's sans serif otherwise.
QFont DialogFont();

// Makes the compiled-in art available and gives the application its font and icon. The
// program's start-up and the tests both call it before they create a window.
void ApplyApplicationLook(QApplication& app);

} // namespace tallyglass
