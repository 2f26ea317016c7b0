#include "ResponsiveDigests.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <exception>
#include <thread>
#include <utility>
#include <vector>

namespace tallyglass {

namespace {

int g_computing = 0;

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

} // namespace

bool ResponsiveDigests::Computing()
{
    return g_computing > 0;
}

std::string ResponsiveDigests::HashFile(int algorithm, std::string& path, int flag)
{
    std::string digest;
    std::string workPath = path;
    std::exception_ptr failure;
    QEventLoop loop;

    ++g_computing;
    std::thread worker([&] {
        try {
            digest = m_inner.HashFile(algorithm, workPath, flag);
        } catch (...) {
            failure = std::current_exception();
        }
        // Queued, so that a digest that ends before the loop starts still ends the loop.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    --g_computing;

    path = workPath;
    releaseHeldWork();
    if (failure)
        std::rethrow_exception(failure);
    return digest;
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
