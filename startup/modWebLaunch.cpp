#include "modWebLaunch.h"

#include <QDesktopServices>
#include <QUrl>

namespace tallyglass::modWebLaunch {

int LaunchWebPage(const QString& url, int showCode)
{
    static_cast<void>(showCode);
    return QDesktopServices::openUrl(QUrl(url)) ? 0 : -1;
}

} // namespace tallyglass::modWebLaunch
