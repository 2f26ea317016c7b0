#include "frmAbout.h"

#include "ApplicationLook.h"
#include "ArtResources.h"
#include "MakerSite.h"
#include "ProgramIcon.h"
#include "PushButton.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QUrl>

namespace tallyglass {

namespace {

QPointer<frmAbout> g_instance;

// The layout is kept in twips, the unit the window was drawn in; at 96 dots per inch a pixel
// is 15 twips.
constexpr int kTwipsPerPixel = 15;

QRect FromTwips(QRect twips)
{
    return {twips.x() / kTwipsPerPixel, twips.y() / kTwipsPerPixel, twips.width() / kTwipsPerPixel,
            twips.height() / kTwipsPerPixel};
}

// The client area is 4500 x 4515 twips: the picture's 300 x 300 pixels and one spare row.
constexpr QSize kClientSize{4500 / kTwipsPerPixel, 4515 / kTwipsPerPixel};

const QString kLicenseNotice = QStringLiteral(
    "Tallyglass is free software under the MIT License. You may use, copy, change and share it "
    "at no cost. It comes with no warranty of any kind.");

} // namespace

frmAbout::frmAbout(WebLauncher launcher, QWidget* parent) : QDialog(parent), m_launcher(std::move(launcher))
{
    // A fixed dialog with a close box only. An ownerless dialog is transient for the program's
    // client leader on X11, which keeps it out of the taskbar of the common desktops; Qt::Tool
    // would do that too, but it also gives the window a utility caption and, on some desktops,
    // hides it whenever the program is not active, which a dialog the user reads must not do.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("About Corvane Tallyglass"));
    UseDialogFont(this);
    setWindowIcon(ProgramIcon());
    setFixedSize(kClientSize);
    setSizeGripEnabled(false);
    // The close box unloads the window ("Close" only hides it), and the window never keeps the
    // program alive: ending the main window ends the program whatever state this one is in.
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setAcceptDrops(false);
    createWidgets();
}

void frmAbout::createWidgets()
{
    // The picture comes first so that it lies behind every label and the button.
    InitArtResources();
    m_imgAbout = new QLabel(this);
    m_imgAbout->setObjectName(QStringLiteral("imgAbout"));
    m_imgAbout->setGeometry(FromTwips({0, 0, 4500, 4500}));
    m_imgAbout->setPixmap(ArtPicture(QStringLiteral("about"), devicePixelRatioF()));
    m_imgAbout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_imgAbout->installEventFilter(this);

    createLabel("lblVersion", QStringLiteral("Version:"), {720, 2640, 735, 255}, Qt::AlignLeft | Qt::AlignVCenter);
    // The fixed version text of the program's one version record.
    createLabel("lblVersionVal", QStringLiteral(TALLYGLASS_VERSION_TEXT), {2280, 2640, 1455, 255}, Qt::AlignRight | Qt::AlignVCenter);
    createLabel("lblLicense", QStringLiteral("License:"), {720, 2880, 735, 255}, Qt::AlignLeft | Qt::AlignVCenter);
    QLabel* notice = createLabel("lblLicenseVal", kLicenseNotice, {720, 3120, 3375, 1095}, Qt::AlignLeft | Qt::AlignTop);
    notice->setWordWrap(true);
    createLabel("lblFreeware", QStringLiteral("Free"), {2520, 2880, 1215, 255}, Qt::AlignRight | Qt::AlignVCenter);

    // An ordinary push button: neither the default nor the cancel button, and the one control
    // that takes the focus, so Enter presses it whenever the window is active.
    m_cmdExit = new PushButton(QStringLiteral("Close"), this);
    m_cmdExit->setObjectName(QStringLiteral("cmdExit"));
    m_cmdExit->setGeometry(FromTwips({3000, 4080, 1455, 375}));
    m_cmdExit->setFocusPolicy(Qt::StrongFocus);
    m_cmdExit->setFocus();
    connect(m_cmdExit, &QPushButton::clicked, this, &frmAbout::cmdExit_Click);

    for (QWidget* child : findChildren<QWidget*>())
        child->setAcceptDrops(false);
}

QLabel* frmAbout::createLabel(const char* name, const QString& text, QRect twips, Qt::Alignment alignment)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(FromTwips(twips));
    label->setAlignment(alignment);
    label->setFocusPolicy(Qt::NoFocus);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    // The labels carry the window-background colour behind the window-text colour, so they read
    // as white boxes on the white lower half of the picture whatever the style's face colour is.
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Text));
    label->setPalette(palette);
    label->setAutoFillBackground(true);
    return label;
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

QString frmAbout::HomePageUrl()
{
    return QUrl(QString::fromUtf8(kMakerSite)).resolved(QUrl(QStringLiteral("/"))).toString();
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    // The dialog would hide itself on Escape, but "Close" is not a cancel button: Escape does
    // nothing here.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_imgAbout) {
        if (event->type() == QEvent::MouseButtonPress) {
            m_imgAboutPressed = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const bool click = m_imgAboutPressed && mouse->button() == Qt::LeftButton &&
                               m_imgAbout->rect().contains(mouse->position().toPoint());
            m_imgAboutPressed = false;
            if (click)
                imgAbout_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::cmdExit_Click()
{
    // Hidden, not unloaded: the next banner click shows this window again where it was. A
    // dialog that was never placed by the program is centred afresh on every show, though the
    // user may have moved it since; pinning it where it stands keeps it there.
    move(pos());
    hide();
}

void frmAbout::imgAbout_Click()
{
    // Whatever the shell makes of the page is all the user sees; the result is not reported.
    if (m_launcher)
        static_cast<void>(m_launcher(HomePageUrl(), 1));
}

} // namespace tallyglass
