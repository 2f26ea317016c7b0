#include "WindowServices.h"

#include "ApplicationLook.h"
#include "ProgramEnd.h"
#include "ResponsiveDigests.h"

#include <QFileDialog>
#include <QMessageBox>

namespace tallyglass {

WindowServices SystemWindowServices(WebLauncher launcher)
{
    static OpenSslDigests digests;
    static ResponsiveDigests responsive(digests);
    WindowServices services;
    services.extraction = SystemServices();
    services.extraction.digests = &responsive;
    services.showMessage = ShowMessageBox;
    services.endProgram = [](int status) { EndProgramNow(status); };
    services.chooseFile = ChooseFileToExamine;
    services.launcher = std::move(launcher);
    return services;
}

void ShowMessageBox(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Corvane_Tallyglass"), text, QMessageBox::Ok);
    // A path is shown as it is, never read as markup.
    box.setTextFormat(Qt::PlainText);
    UseDialogFont(&box);
    box.exec();
}

std::optional<QString> ChooseFileToExamine(QWidget* parent, const QString& fileName)
{
    QFileDialog dialog(parent, QStringLiteral("Choose a File for Extraction"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace tallyglass
