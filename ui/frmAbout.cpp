#include "frmAbout.h"

#include <QPointer>

namespace tallyglass {

namespace {
QPointer<frmAbout> g_instance;
}

frmAbout::frmAbout(WebLauncher launcher, QWidget* parent) : QDialog(parent), m_launcher(std::move(launcher))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Corvane Tallyglass"));
}

void frmAbout::ShowAbout(const WebLauncher& launcher)
{
    if (!g_instance)
        g_instance = new frmAbout(launcher);
    g_instance->show();
    g_instance->raise();
    g_instance->activateWindow();
}

frmAbout* frmAbout::Instance()
{
    return g_instance.data();
}

} // namespace tallyglass
