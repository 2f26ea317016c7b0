#pragma once

#include <QString>

#include <functional>

namespace tallyglass {

// Opens a URL in the user's browser with a show code, and answers a non-negative value on
// success. The program hands the real one (LaunchWebPage) to its windows; tests hand a fake,
// so that no test ever opens a browser.
using WebLauncher = std::function<int(const QString& url, int showCode)>;

} // namespace tallyglass
