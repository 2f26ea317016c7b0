#pragma once

#include <QString>

namespace tallyglass::modWebLaunch {

// Opens the URL in the user's default browser and returns at once. Answers 0 when the desktop
// took the URL and -1 when it did not. The show code asks for a normal window; the browser
// decides how it shows itself, so it is passed on nowhere.
int LaunchWebPage(const QString& url, int showCode);

} // namespace tallyglass::modWebLaunch
