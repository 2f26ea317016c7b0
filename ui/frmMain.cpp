#include "frmMain.h"

#include "ApplicationLook.h"
#include "ArtResources.h"
#include "ClickableImage.h"
#include "CopyGlyph.h"
#include "DropFilter.h"
#include "FieldLayout.h"
#include "PushButton.h"
#include "Twips.h"
#include "frmAbout.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLinearGradient>
#include <QLineEdit>
#include <QPushButton>
#include <QStringDecoder>

#include <algorithm>
#include <utility>
#include <vector>

namespace tallyglass {

namespace {

// The client area, 9015 x 7680 twips.
constexpr QSize kClientSize{601, 512};

// The file system's bytes as text. A name that is not valid UTF-8 is decoded as the file
// manager shows it; the path itself stays in CurrentPath as bytes.
QString DisplayText(std::string_view text)
{
    const QByteArrayView bytes(text.data(), qsizetype(text.size()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(bytes);
    if (!utf8.hasError())
        return decoded;
    return QFile::decodeName(QByteArray(bytes.data(), bytes.size()));
}

std::string TrimSpaces(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

} // namespace

frmMain::frmMain(WindowServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      m_services(std::move(services))
{
    setWindowTitle(QStringLiteral("Corvane Tallyglass"));
    UseDialogFont(this);
    setFixedSize(kClientSize);

    createBanner();
    createFrames();
    createButtons();
    setTabOrderFromCatalogue();

    m_drops = new DropFilter([this](std::string path) { TakePath(std::move(path)); }, this);
    m_drops->Watch(this);

    Row(FieldId::FileName).tick->setFocus();

    m_busyPointerEnd.setSingleShot(true);
    m_busyPointerEnd.setInterval(250);
    connect(&m_busyPointerEnd, &QTimer::timeout, this, [this] {
        m_busyPointer = false;
        QApplication::restoreOverrideCursor();
    });
    ResponsiveDigests::SetDisplay(this);
}

frmMain::~frmMain()
{
    ResponsiveDigests::RemoveDisplay(this);
    if (m_busyPointer)
        QApplication::restoreOverrideCursor();
}

void frmMain::createBanner()
{
    // A white band behind the two pictures, joining their white grounds whatever the palette
    // (a dark one would otherwise cut a dark strip between them). It is wider than the window
    // and clipped at the right edge.
    m_shape1 = new QWidget(this);
    m_shape1->setObjectName(QStringLiteral("Shape1"));
    m_shape1->setGeometry(PxRect(0, 0, 9100, 735));
    QPalette white = m_shape1->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_shape1->setPalette(white);
    m_shape1->setBackgroundRole(QPalette::Window);
    m_shape1->setAutoFillBackground(true);

    m_imgTallyglass = new ClickableImage(ArtPicture(QStringLiteral("banner"), devicePixelRatioF()), this);
    m_imgTallyglass->setObjectName(QStringLiteral("imgTallyglass"));
    m_imgTallyglass->setGeometry(PxRect(0, 0, 2100, 720));
    m_imgTallyglass->setAccessibleName(QStringLiteral("About Tallyglass"));
    connect(m_imgTallyglass, &ClickableImage::clicked, this, &frmMain::imgTallyglass_Click);

    m_imgLogo = new ClickableImage(ArtPicture(QStringLiteral("logo"), devicePixelRatioF()), this);
    m_imgLogo->setObjectName(QStringLiteral("imgLogo"));
    m_imgLogo->setGeometry(PxRect(6000, 0, 3060, 720));
    m_imgLogo->setAccessibleName(QStringLiteral("About Tallyglass"));
    connect(m_imgLogo, &ClickableImage::clicked, this, &frmMain::imgLogo_Click);
}

void frmMain::createFrames()
{
    // The frames come after the band, so the OLE frame covers its lowest pixel. Both paint
    // their own ground, and their rows sit at the catalogue's positions from the frame's
    // top-left corner, under the title.
    m_frameOfficeData = new QGroupBox(QStringLiteral("OLE Metadata"), this);
    m_frameOfficeData->setObjectName(QStringLiteral("frameOfficeData"));
    m_frameOfficeData->setGeometry(PxRect(120, 720, 8775, 4815));

    m_frameFSMetadata = new QGroupBox(QStringLiteral("File System Metadata"), this);
    m_frameFSMetadata->setObjectName(QStringLiteral("frameFSMetadata"));
    m_frameFSMetadata->setGeometry(PxRect(120, 5640, 8775, 1455));

    for (QGroupBox* frame : {m_frameOfficeData, m_frameFSMetadata}) {
        // The frame's line runs through the middle of its title, so the title takes no room
        // of its own above the first row.
        frame->setStyleSheet(QStringLiteral(
            "QGroupBox { border: 1px solid palette(mid); margin-top: 6px; }"
            "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
            " left: 6px; padding: 0px 2px; top: -1px; }"));
        frame->setAutoFillBackground(true);
        frame->setFocusPolicy(Qt::NoFocus);
    }

    const QIcon glyph = CopyGlyph();
    for (const FieldRow& row : FieldCatalogue()) {
        QWidget* frame = row.frame == Frame::OLE ? m_frameOfficeData : m_frameFSMetadata;
        FieldRowWidgets& widgets = m_rows[std::size_t(row.id)];
        widgets = CreateFieldRow(row, frame, glyph);
        const FieldId field = row.id;
        connect(widgets.copy, &QPushButton::clicked, this, [this, field] { cmdCopyValue_Click(field); });
    }
}

QPushButton* frmMain::createButton(const char* name, const QString& caption, QRect twips)
{
    // No button answers Enter or Escape unless it has the focus; Enter presses the focused one.
    auto* button = new PushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(PxRect(twips.x(), twips.y(), twips.width(), twips.height()));
    return button;
}

void frmMain::createButtons()
{
    m_cmdExit = createButton("cmdExit", QStringLiteral("Exit"), {3600, 7200, 1215, 375});
    m_cmdBrowse = createButton("cmdBrowse", QStringLiteral("Browse ..."), {4920, 7200, 1215, 375});
    m_cmdCopyAll = createButton("cmdCopyAll", QStringLiteral("Copy All"), {6240, 7200, 1095, 375});
    m_cmdCopySelected = createButton("cmdCopySelected", QStringLiteral("Copy Selected"), {7440, 7200, 1455, 375});
    connect(m_cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
    // Exit ends the program even while a digest holds the rest of the input back.
    ResponsiveDigests::LetThroughDuringDigests(m_cmdExit);
    connect(m_cmdBrowse, &QPushButton::clicked, this, &frmMain::cmdBrowse_Click);
    connect(m_cmdCopyAll, &QPushButton::clicked, this, &frmMain::cmdCopyAll_Click);
    connect(m_cmdCopySelected, &QPushButton::clicked, this, &frmMain::cmdCopySelected_Click);
}

void frmMain::setTabOrderFromCatalogue()
{
    // Labels and frames have tab indices too, but never take the focus; the controls that do
    // are visited in the order of their indices.
    std::vector<std::pair<int, QWidget*>> stops = {
        {154, m_cmdCopyAll}, {155, m_cmdCopySelected}, {156, m_cmdExit}, {157, m_cmdBrowse}};
    for (const FieldRowWidgets& w : m_rows) {
        const RowLayout& layout = LayoutOf(w.row->id);
        stops.emplace_back(layout.tabBox, w.box);
        stops.emplace_back(layout.tabCopy, w.copy);
        stops.emplace_back(layout.tabTick, w.tick);
    }
    std::sort(stops.begin(), stops.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < stops.size(); ++i)
        setTabOrder(stops[i - 1].second, stops[i].second);
}

void frmMain::SetFieldText(FieldId field, std::string_view text)
{
    QLineEdit* box = Row(field).box;
    if (m_calculating == field)
        m_calculating.reset();
    if (text == kCalculatingText && (field == FieldId::MD5 || field == FieldId::Sha1 || field == FieldId::Sha256))
        m_calculating = field;
    box->setText(DisplayText(text));
    // A long value shows its beginning, as the box showed it before the text was set.
    box->setCursorPosition(0);
}

void frmMain::Untick(FieldId field)
{
    Row(field).tick->setChecked(false);
}

void frmMain::Yield()
{
    if (std::exchange(m_showAtYield, false) && !m_ended)
        show();
    QCoreApplication::processEvents();
}

void frmMain::DigestStarted()
{
    m_busyPointerEnd.stop();
}

void frmMain::DigestProgress(double fraction)
{
    if (!m_busyPointer) {
        m_busyPointer = true;
        // Over the value boxes too, which have a pointer of their own.
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    if (!m_calculating)
        return;
    QLineEdit* box = Row(*m_calculating).box;
    if (!m_unfilledPalette || m_filled != *m_calculating) {
        m_unfilledPalette = box->palette();
        m_filled = *m_calculating;
    }
    // The part done is a light wash of the highlight colour behind the unchanged text.
    const QColor base = m_unfilledPalette->color(QPalette::Base);
    const QColor highlight = m_unfilledPalette->color(QPalette::Highlight);
    const auto mix = [](int a, int b) { return (2 * a + b) / 3; };
    const QColor wash(mix(base.red(), highlight.red()), mix(base.green(), highlight.green()),
                      mix(base.blue(), highlight.blue()));
    const double done = std::clamp(fraction, 0.0, 1.0);
    QLinearGradient fill(0, 0, 1, 0);
    fill.setCoordinateMode(QGradient::ObjectBoundingMode);
    fill.setColorAt(0, wash);
    fill.setColorAt(done, wash);
    fill.setColorAt(std::min(1.0, done + 1e-6), base);
    fill.setColorAt(1, done >= 1.0 ? wash : base);
    QPalette filled = *m_unfilledPalette;
    filled.setBrush(QPalette::Base, QBrush(fill));
    box->setPalette(filled);
}

void frmMain::DigestEnded()
{
    if (m_unfilledPalette) {
        Row(m_filled).box->setPalette(*m_unfilledPalette);
        m_unfilledPalette.reset();
    }
    if (m_busyPointer)
        m_busyPointerEnd.start();
}

void frmMain::ShowMessage(std::string_view text)
{
    if (m_services.showMessage)
        m_services.showMessage(DisplayText(text));
}

void frmMain::EndProgram(int status)
{
    m_ended = true;
    // A digest in progress stops within a block, and its thread is gone before the end.
    ResponsiveDigests::CancelRunning();
    if (m_services.endProgram)
        m_services.endProgram(status);
}

void frmMain::ExtractCurrentPath()
{
    if (!m_ended && !CurrentPath.empty())
        ExtractFile(*this, m_services.extraction);
}

void frmMain::TakePath(std::string path)
{
    if (m_ended)
        return;
    CurrentPath = TrimSpaces(path);
    PathList = {CurrentPath, std::string()};
    ExtractCurrentPath();
}

void frmMain::cmdExit_Click()
{
    EndProgram(0);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Closing the window in any way ends the program, without a question.
    event->accept();
    if (!m_ended)
        EndProgram(0);
}

void frmMain::cmdBrowse_Click()
{
    if (m_ended || !m_services.chooseFile)
        return;
    // Cancel keeps the name of the last file confirmed, which is then examined once more.
    if (std::optional<QString> chosen = m_services.chooseFile(this, m_dialogFileName))
        m_dialogFileName = *chosen;
    TakePath(QFile::encodeName(m_dialogFileName).toStdString());
}

void frmMain::cmdCopyAll_Click()
{
    PlaceOnClipboard(ReportAll(TextsOf(m_rows)));
}

void frmMain::cmdCopySelected_Click()
{
    PlaceOnClipboard(ReportSelected(TextsOf(m_rows), TicksOf(m_rows)));
}

void frmMain::cmdCopyValue_Click(FieldId field)
{
    PlaceOnClipboard(TextOf(Row(field)));
}

void frmMain::imgTallyglass_Click()
{
    frmAbout::ShowAbout(m_services.launcher);
}

void frmMain::imgLogo_Click()
{
    frmAbout::ShowAbout(m_services.launcher);
}

} // namespace tallyglass
