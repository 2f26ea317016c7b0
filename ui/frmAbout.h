#pragma once

#include "WebLauncher.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace tallyglass {

// The About window: product, version and licence over the product's picture. There is at most
// one; it lives without an owner so that the main window stays usable while it is open, and it
// never keeps the program alive.
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

    // The maker's home page, the root of the maker's web site.
    static QString HomePageUrl();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createWidgets();
    QLabel* createLabel(const char* name, const QString& text, QRect twips, Qt::Alignment alignment);
    void cmdExit_Click();
    void imgAbout_Click();

    WebLauncher m_launcher;
    QLabel* m_imgAbout = nullptr;
    QPushButton* m_cmdExit = nullptr;
    // A click is a press and a release on the picture; a press elsewhere that is released over
    // the picture is not one.
    bool m_imgAboutPressed = false;
};

} // namespace tallyglass
