#pragma once

#include <QIcon>

namespace tallyglass {

// The program's icon at every size it is drawn in (16 to 256 pixels), for both windows.
QIcon ProgramIcon();

} // namespace tallyglass
