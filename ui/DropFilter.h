#pragma once

#include <QObject>

#include <functional>
#include <optional>
#include <string>

class QMimeData;
class QWidget;

namespace tallyglass {

// One drop target for a whole window: installed on the window and on every control in it, so
// that a file dropped anywhere is taken the same way. It accepts only drags that carry a local
// file and never lets a control take the drop itself (a value box would insert the file's URL).
//
// The drag source waits until its drop is acknowledged, so the drop is acknowledged first and
// the dropped path handed on from the event loop; a file manager does not freeze while the
// digests run.
class DropFilter : public QObject {
    Q_OBJECT
public:
    using PathHandler = std::function<void(std::string path)>;

    DropFilter(PathHandler onPath, QObject* parent);

    // Makes root and every widget inside it a drop target that this filter serves.
    void Watch(QWidget* root);

    // The first local file of a drag, as the file system's bytes.
    static std::optional<std::string> FirstLocalFile(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PathHandler m_onPath;
};

} // namespace tallyglass
