#include "ResponsiveDigests.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <atomic>
#include <exception>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace tallyglass {

namespace {

constexpr const char* kLetThroughProperty = "tallyglassLetThroughDuringDigests";
// Progress is shown only for a digest that takes longer than this, and refreshed this often.
constexpr int kQuietMilliseconds = 500;
constexpr int kRefreshMilliseconds = 50;
// However long a digest runs, the input it holds back stays bounded.
constexpr std::size_t kMostHeldEvents = 4096;

DigestProgressDisplay* g_display = nullptr;

struct HeldWork {
    QPointer<QObject> context;
    std::function<void()> work;
};

std::vector<HeldWork>& heldWork()
{
    static std::vector<HeldWork> held;
    return held;
}

void releaseHeldWork()
{
    std::vector<HeldWork> held = std::exchange(heldWork(), {});
    for (HeldWork& item : held) {
        if (item.context)
            RunWhenInputFree(item.context, std::move(item.work));
    }
}

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

bool letThrough(const QWidget* widget)
{
    return widget != nullptr && widget->property(kLetThroughProperty).toBool();
}

// Holds the user's input to the program's windows while a digest runs and hands it back
// afterwards, in the order it came, to be handled at the extraction's next yield. Requests to
// close a window are not input here and pass at once, and so does input for the widgets let
// through. Input for a widget that goes meanwhile is dropped with it.
class InputHold final : public QObject {
public:
    InputHold() { qApp->installEventFilter(this); }
    ~InputHold() override
    {
        qApp->removeEventFilter(this);
        for (auto& [target, event] : m_held) {
            if (target)
                QCoreApplication::postEvent(target, event.release());
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Input reaches a window first and its widgets from there; only that first delivery
        // is held, so input once let through goes on to its widget.
        if (!watched->isWindowType() || !isUserInput(event->type()))
            return false;
        if (passes(static_cast<QWindow*>(watched), event))
            return false;
        if (event->type() == QEvent::MouseMove && !m_held.empty() && m_held.back().first == watched
            && m_held.back().second->type() == QEvent::MouseMove) {
            m_held.back().second.reset(event->clone());
            return true;
        }
        if (m_held.size() < kMostHeldEvents)
            m_held.emplace_back(watched, event->clone());
        return true;
    }

private:
    bool passes(QWindow* window, QEvent* event)
    {
        if (auto* mouse = dynamic_cast<QMouseEvent*>(event)) {
            // A press let through takes the rest of its click with it.
            if (m_clickThrough) {
                if (mouse->buttons() == Qt::NoButton)
                    m_clickThrough = false;
                return true;
            }
            QWidget* top = widgetOf(window);
            if (top == nullptr || !letThrough(top->childAt(mouse->position().toPoint())))
                return false;
            if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
                m_clickThrough = true;
            return true;
        }
        if (dynamic_cast<QKeyEvent*>(event) != nullptr)
            return letThrough(QApplication::focusWidget());
        return false;
    }

    static QWidget* widgetOf(QWindow* window)
    {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->windowHandle() == window)
                return top;
        }
        return nullptr;
    }

    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> m_held;
    bool m_clickThrough = false;
};

// One digest on its worker thread. The worker owns a share of it, so nothing it touches goes
// before it has finished.
struct Job {
    std::atomic<bool> cancel = false;
    std::atomic<std::uint64_t> done = 0;
    std::atomic<std::uint64_t> size = 0;
    std::string path;
    std::string result;
    std::thread thread;

    void stop()
    {
        cancel = true;
        if (thread.joinable() && thread.get_id() != std::this_thread::get_id())
            thread.join();
    }
};

std::vector<std::shared_ptr<Job>>& runningJobs()
{
    static std::vector<std::shared_ptr<Job>> jobs;
    return jobs;
}

// The bookkeeping of one digest on the window's thread, undone whichever way the wait ends.
class DigestInProgress {
public:
    explicit DigestInProgress(std::shared_ptr<Job> job) : m_job(std::move(job))
    {
        runningJobs().push_back(m_job);
        if (g_display)
            g_display->DigestStarted();
    }
    ~DigestInProgress()
    {
        m_job->stop();
        std::erase(runningJobs(), m_job);
        m_hold.reset();
        if (g_display)
            g_display->DigestEnded();
    }
    DigestInProgress(const DigestInProgress&) = delete;
    DigestInProgress& operator=(const DigestInProgress&) = delete;

private:
    std::shared_ptr<Job> m_job;
    std::unique_ptr<InputHold> m_hold = std::make_unique<InputHold>();
};

} // namespace

bool ResponsiveDigests::Computing()
{
    return !runningJobs().empty();
}

void ResponsiveDigests::CancelRunning()
{
    for (const std::shared_ptr<Job>& job : runningJobs())
        job->stop();
}

void ResponsiveDigests::SetDisplay(DigestProgressDisplay* display)
{
    g_display = display;
}

void ResponsiveDigests::RemoveDisplay(DigestProgressDisplay* display)
{
    if (g_display == display)
        g_display = nullptr;
}

void ResponsiveDigests::LetThroughDuringDigests(QWidget* widget)
{
    widget->setProperty(kLetThroughProperty, true);
}

std::string ResponsiveDigests::HashFile(int algorithm, std::string& path, int flag)
{
    auto job = std::make_shared<Job>();
    job->path = path;
    // The loop outlives the worker: the bookkeeping below joins it before the loop goes.
    QEventLoop loop;
    QEventLoop* const quit = &loop;
    {
        DigestInProgress computing(job);
        try {
            job->thread = std::thread([this, job, algorithm, flag, quit] {
                DigestOptions options;
                options.cancel = &job->cancel;
                options.progress = [&job](std::uint64_t done, std::uint64_t size) {
                    job->size = size;
                    job->done = done;
                };
                try {
                    job->result = m_inner.HashFileWith(algorithm, job->path, flag, options);
                } catch (const std::exception& e) {
                    job->result = std::string("Cannot read file: ") + e.what();
                } catch (...) {
                    job->result = "Cannot read file: the digest failed";
                }
                // Queued, so that a digest that ends before the loop starts still ends the loop.
                QMetaObject::invokeMethod(quit, &QEventLoop::quit, Qt::QueuedConnection);
            });
        } catch (const std::exception& e) {
            return std::string("Cannot read file: ") + e.what();
        }

        QElapsedTimer running;
        running.start();
        QTimer refresh;
        QObject::connect(&refresh, &QTimer::timeout, [&] {
            const std::uint64_t size = job->size;
            if (g_display && size > 0 && running.elapsed() >= kQuietMilliseconds)
                g_display->DigestProgress(double(job->done) / double(size));
        });
        refresh.start(kRefreshMilliseconds);
        try {
            loop.exec();
        } catch (...) {
            // An event handler must not throw; should one, the digest ends here and the
            // failure is not carried on into the event dispatch that called us.
            job->stop();
            job->result = "Cannot read file: the window failed while the digest ran";
        }
    }
    path = job->path;
    releaseHeldWork();
    return job->result;
}

void RunWhenInputFree(QObject* context, std::function<void()> work)
{
    QTimer::singleShot(0, context, [context, work = std::move(work)]() mutable {
        if (ResponsiveDigests::Computing()) {
            heldWork().push_back({context, std::move(work)});
            return;
        }
        work();
    });
}

} // namespace tallyglass
