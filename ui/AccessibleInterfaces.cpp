#include "AccessibleInterfaces.h"

#include "ClickableImage.h"
#include "frmMain.h"

#include <QAccessibleWidget>

namespace tallyglass {

namespace {

// A picture with one action, "Press", that does what a click on it does.
class AccessibleClickableImage : public QAccessibleWidget {
public:
    explicit AccessibleClickableImage(ClickableImage* image) : QAccessibleWidget(image, QAccessible::Graphic)
    {
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction())
            static_cast<ClickableImage*>(widget())->Press();
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

QAccessibleInterface* InterfaceFor(const QString&, QObject* object)
{
    if (auto* image = qobject_cast<ClickableImage*>(object))
        return new AccessibleClickableImage(image);
    // The main window is a plain widget, which the bus would otherwise list as a filler.
    if (auto* window = qobject_cast<frmMain*>(object))
        return new QAccessibleWidget(window, QAccessible::Window);
    return nullptr;
}

} // namespace

void InstallAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(InterfaceFor);
        return true;
    }();
    static_cast<void>(installed);
}

} // namespace tallyglass
