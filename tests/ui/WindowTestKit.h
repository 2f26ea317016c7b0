#pragma once

#include "ResponsiveDigests.h"
#include "frmMain.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace tallyglass::test {

// Everything the window hands to its services, recorded; and the dialog's answers, queued.
struct Recorder {
    std::vector<QString> messages;
    std::vector<int> endStatuses;
    std::deque<QString> dialogAnswers; // a null text answers Cancel
    std::vector<QString> dialogFileNames; // what the dialog held when it was shown
    std::vector<std::pair<QString, int>> launches;
};

inline DigestService& TestDigests()
{
    static OpenSslDigests inner;
    static ResponsiveDigests responsive(inner);
    return responsive;
}

inline WindowServices RecordingServices(Recorder& r, DigestService& digests = TestDigests())
{
    WindowServices services;
    services.extraction = SystemServices();
    services.extraction.digests = &digests;
    services.showMessage = [&r](const QString& text) { r.messages.push_back(text); };
    services.endProgram = [&r](int status) { r.endStatuses.push_back(status); };
    services.chooseFile = [&r](QWidget*, const QString& fileName) -> std::optional<QString> {
        r.dialogFileNames.push_back(fileName);
        if (r.dialogAnswers.empty())
            return std::nullopt;
        const QString answer = r.dialogAnswers.front();
        r.dialogAnswers.pop_front();
        if (answer.isNull())
            return std::nullopt;
        return std::make_optional(answer);
    };
    services.launcher = [&r](const QString& url, int code) {
        r.launches.emplace_back(url, code);
        return 0;
    };
    return services;
}

inline std::string Text(const frmMain& w, FieldId field)
{
    return TextOf(w.Row(field));
}

// Lets the event loop run until the condition holds or a few seconds have passed.
template <typename Condition>
bool Settle(Condition done, int milliseconds = 5000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Runs the event loop until nothing is left to do.
inline void Drain()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// A drag entering the target and, when it was accepted, dropped there. Answers whether the
// target accepted the drag.
inline bool DragAndDrop(QWidget* target, QMimeData* data)
{
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

inline std::unique_ptr<QMimeData> FileDrag(const QStringList& paths)
{
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    return data;
}

// A folder of small files that lives as long as the test.
class Files {
public:
    QString Make(const QString& name, const QByteArray& content)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return path;
    }
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QString Folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

inline std::string Bytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace tallyglass::test
