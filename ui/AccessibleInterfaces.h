#pragma once

namespace tallyglass {

// Teaches the accessibility bus what the generic widgets cannot tell it: the banner images are
// pictures that can be pressed (they open the About window), and the main window is the
// program's frame. The row controls need nothing here: their names are set where they are made.
// Safe to call any number of times.
void InstallAccessibleInterfaces();

} // namespace tallyglass
