#pragma once

#include "WebLauncher.h"

#include <QDialog>

namespace tallyglass {

// The About window: product, version and licence over the product's picture.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(WebLauncher launcher, QWidget* parent = nullptr);

    // Shows the one About window: created on first use, brought to the front when it is
    // already shown, shown again where it was when it was hidden.
    static void ShowAbout(const WebLauncher& launcher);
    // The window while it exists (hidden or shown), for tests; null before first use and after
    // its close box unloaded it.
    static frmAbout* Instance();

private:
    WebLauncher m_launcher;
};

} // namespace tallyglass
