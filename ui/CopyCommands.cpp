#include "CopyCommands.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>

namespace tallyglass {

std::string TextOf(const FieldRowWidgets& row)
{
    return row.box->text().toUtf8().toStdString();
}

FieldTexts TextsOf(const FieldRows& rows)
{
    FieldTexts texts;
    for (std::size_t i = 0; i < rows.size(); ++i)
        texts[i] = TextOf(rows[i]);
    return texts;
}

FieldTicks TicksOf(const FieldRows& rows)
{
    FieldTicks ticks{};
    for (std::size_t i = 0; i < rows.size(); ++i)
        ticks[i] = rows[i].tick->checkState() == Qt::Checked;
    return ticks;
}

void PlaceOnClipboard(const std::string& text)
{
    // A fresh data object with the text alone: whatever formats the clipboard held go with
    // the old one.
    auto* data = new QMimeData;
    data->setText(QString::fromUtf8(text.data(), qsizetype(text.size())));
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}

} // namespace tallyglass
