#include "FieldRowWidgets.h"

#include "PushButton.h"
#include "TickBox.h"
#include "Twips.h"

#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace tallyglass {

namespace {

QString nameOf(std::string_view name)
{
    return QString::fromLatin1(name.data(), qsizetype(name.size()));
}

} // namespace

FieldRowWidgets CreateFieldRow(const FieldRow& row, QWidget* frame, const QIcon& copyGlyph)
{
    const RowGeometry g = GeometryOf(row.id);
    FieldRowWidgets w;
    w.row = &row;

    w.label = new QLabel(nameOf(row.caption), frame);
    w.label->setObjectName(nameOf(row.labelName));
    w.label->setGeometry(PxRect(g.label));
    w.label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    // The caption names its value box on the accessibility bus; the copy button and the tick
    // box are named after the same field, without the caption's colon.
    const QString caption = nameOf(row.caption);
    QString field = caption;
    if (field.endsWith(u':'))
        field.chop(1);

    w.box = new QLineEdit(frame);
    w.box->setObjectName(nameOf(row.boxName));
    w.box->setGeometry(PxRect(g.box));
    // A value is shown whole however long it is; Qt would otherwise cut it at 32767 characters.
    w.box->setMaxLength(std::numeric_limits<int>::max());
    w.box->setAccessibleName(caption);
    w.label->setBuddy(w.box);

    w.copy = new PushButton(frame);
    w.copy->setObjectName(nameOf(row.copyName));
    w.copy->setGeometry(PxRect(g.copy));
    w.copy->setIcon(copyGlyph);
    w.copy->setIconSize(QSize(16, 16));
    w.copy->setAccessibleName(QStringLiteral("Copy ") + field);

    w.tick = new TickBox(frame);
    w.tick->setObjectName(nameOf(row.tickName));
    w.tick->setGeometry(PxRect(g.tick));
    w.tick->setAccessibleName(QStringLiteral("Select ") + field);
    return w;
}

} // namespace tallyglass
