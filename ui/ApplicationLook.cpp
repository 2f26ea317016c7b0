#include "ApplicationLook.h"

#include "AccessibleInterfaces.h"
#include "ArtResources.h"
#include "ProgramIcon.h"

#include <QApplication>
#include <QWidget>

namespace tallyglass {

QFont DialogFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

void UseDialogFont(QWidget* window)
{
    QFont font = DialogFont();
    font.setResolveMask(QFont::AllPropertiesResolved);
    window->setFont(font);
}

void ApplyApplicationLook(QApplication& app)
{
    InitArtResources();
    InstallAccessibleInterfaces();
    QApplication::setFont(DialogFont());
    app.setWindowIcon(ProgramIcon());
}

} // namespace tallyglass
