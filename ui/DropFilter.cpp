#include "DropFilter.h"

#include "ResponsiveDigests.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace tallyglass {

DropFilter::DropFilter(PathHandler onPath, QObject* parent) : QObject(parent), m_onPath(std::move(onPath))
{
}

void DropFilter::Watch(QWidget* root)
{
    root->setAcceptDrops(true);
    root->installEventFilter(this);
    for (QWidget* child : root->findChildren<QWidget*>()) {
        child->setAcceptDrops(true);
        child->installEventFilter(this);
    }
}

std::optional<std::string> DropFilter::FirstLocalFile(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls())
        return std::nullopt;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        // A file name need not be valid UTF-8, and a QString cannot carry the bytes of one that
        // is not. The URL keeps them percent-encoded, so the path is decoded from there.
        const QByteArray encoded = url.path(QUrl::FullyEncoded).toLatin1();
        return QByteArray::fromPercentEncoding(encoded).toStdString();
    }
    return std::nullopt;
}

bool DropFilter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (FirstLocalFile(drag->mimeData()))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        std::optional<std::string> path = FirstLocalFile(drop->mimeData());
        if (!path) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        RunWhenInputFree(this, [this, p = std::move(*path)]() mutable { m_onPath(std::move(p)); });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace tallyglass
