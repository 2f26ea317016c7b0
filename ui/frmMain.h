#pragma once

#include "CopyCommands.h"
#include "Extraction.h"
#include "ResponsiveDigests.h"
#include "WindowServices.h"

#include <QPalette>
#include <QTimer>
#include <QWidget>

#include <optional>

class QGroupBox;
class QPushButton;

namespace tallyglass {

class ClickableImage;
class DropFilter;

// The main window: the 38 field rows in their two frames, the four buttons along the bottom
// and the two banner images. It lays itself out from the field catalogue and hands every piece
// of work to the core (the extraction, the reports) or to its services.
class frmMain : public QWidget, public ExtractionWindow, private DigestProgressDisplay {
    Q_OBJECT
public:
    explicit frmMain(WindowServices services, QWidget* parent = nullptr);
    ~frmMain() override;

    // The window as the extraction sees it.
    void SetFieldText(FieldId field, std::string_view text) override;
    void Untick(FieldId field) override;
    void Yield() override;
    void ShowMessage(std::string_view text) override;
    void EndProgram(int status) override;
    bool Ended() const override { return m_ended; }

    const FieldRowWidgets& Row(FieldId field) const { return m_rows[std::size_t(field)]; }
    const WindowServices& Services() const { return m_services; }

    // The window shows itself at the next yield, so that a start with a file shows the window
    // once the file-system fields are filled and the digests begin, not after them.
    void ShowAtFirstYield() { m_showAtYield = true; }

    // Examines CurrentPath when it is not empty.
    void ExtractCurrentPath();
    // A path handed over by a drop or by the file dialog: trimmed of spaces, it becomes
    // CurrentPath and the one path of PathList, and is examined.
    void TakePath(std::string path);

    void cmdExit_Click();
    void cmdBrowse_Click();
    void cmdCopyAll_Click();
    void cmdCopySelected_Click();
    // The one handler of the 38 copy buttons.
    void cmdCopyValue_Click(FieldId field);
    void imgTallyglass_Click();
    void imgLogo_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void DigestStarted() override;
    void DigestProgress(double fraction) override;
    void DigestEnded() override;

    void createBanner();
    void createFrames();
    void createButtons();
    void setTabOrderFromCatalogue();

    QPushButton* createButton(const char* name, const QString& caption, QRect twips);

    WindowServices m_services;
    FieldRows m_rows{};
    QWidget* m_shape1 = nullptr;
    ClickableImage* m_imgTallyglass = nullptr;
    ClickableImage* m_imgLogo = nullptr;
    QGroupBox* m_frameOfficeData = nullptr;
    QGroupBox* m_frameFSMetadata = nullptr;
    QPushButton* m_cmdBrowse = nullptr;
    QPushButton* m_cmdExit = nullptr;
    QPushButton* m_cmdCopyAll = nullptr;
    QPushButton* m_cmdCopySelected = nullptr;
    DropFilter* m_drops = nullptr;
    // The file dialog's file name: empty until a choice is first confirmed, then the last file
    // confirmed; a cancelled dialog leaves it as it was.
    QString m_dialogFileName;
    bool m_ended = false;
    bool m_showAtYield = false;
    // The digest box that shows "Calculating ...", and the box with the progress fill with its
    // palette from before the fill.
    std::optional<FieldId> m_calculating;
    FieldId m_filled = FieldId::MD5;
    std::optional<QPalette> m_unfilledPalette;
    // The busy pointer stays on between the digests of one file, however short the yields.
    bool m_busyPointer = false;
    QTimer m_busyPointerEnd;
};

} // namespace tallyglass
