#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tallyglass {

template <typename Result>
void RunInOrder(std::size_t count, unsigned jobs, const std::function<Result(std::size_t)>& work,
                const std::function<void(std::size_t, Result&&)>& emit)
{
    if (jobs <= 1 || count <= 1) {
        for (std::size_t i = 0; i < count; ++i)
            emit(i, work(i));
        return;
    }

    std::mutex mutex;
    // Each side is woken only for what it waits for: the caller when the result it has to
    // emit next is in, a worker when an item may be started. Waking both for every change
    // made the threads trade places several times per file.
    std::condition_variable frontReady;
    std::condition_variable roomFree;
    std::size_t nextToStart = 0;
    std::size_t nextToEmit = 0;
    // slots[k] belongs to item nextToEmit + k; there is one for every item started and not
    // yet handed to emit.
    std::deque<std::optional<Result>> slots;
    std::exception_ptr failure;

    const auto worker = [&] {
        for (;;) {
            std::size_t item;
            {
                std::unique_lock lock(mutex);
                roomFree.wait(lock, [&] { return nextToStart >= count || failure || nextToStart < nextToEmit + 2 * jobs; });
                if (nextToStart >= count || failure)
                    return;
                item = nextToStart++;
                slots.emplace_back();
            }
            std::optional<Result> result;
            try {
                result.emplace(work(item));
            } catch (...) {
                std::lock_guard lock(mutex);
                if (!failure)
                    failure = std::current_exception();
                frontReady.notify_all();
                roomFree.notify_all();
                return;
            }
            std::lock_guard lock(mutex);
            slots[item - nextToEmit] = std::move(result);
            if (item == nextToEmit)
                frontReady.notify_one();
        }
    };

    const unsigned threads = unsigned(std::min<std::size_t>(jobs, count));
    std::vector<std::thread> pool;
    pool.reserve(threads);
    for (unsigned t = 0; t < threads; ++t)
        pool.emplace_back(worker);

    for (std::size_t emitted = 0; emitted < count; ++emitted) {
        std::optional<Result> ready;
        {
            std::unique_lock lock(mutex);
            frontReady.wait(lock, [&] { return failure || (!slots.empty() && slots.front().has_value()); });
            if (failure)
                break;
            ready = std::move(slots.front());
            slots.pop_front();
            ++nextToEmit;
            roomFree.notify_one();
        }
        try {
            emit(emitted, std::move(*ready));
        } catch (...) {
            std::lock_guard lock(mutex);
            if (!failure)
                failure = std::current_exception();
            roomFree.notify_all();
            break;
        }
    }
    {
        // A worker still waiting for room learns here that there is nothing left to start.
        std::lock_guard lock(mutex);
        roomFree.notify_all();
    }
    for (std::thread& t : pool)
        t.join();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace tallyglass
