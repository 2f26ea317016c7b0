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
    // Woken only when the window is full and a result leaves it; as long as the results keep
    // coming in order no thread waits for another.
    std::condition_variable roomFree;
    std::size_t nextToStart = 0;
    std::size_t nextToEmit = 0;
    // One thread at a time hands results over, in order; the others go on working meanwhile.
    bool emitting = false;
    // slots[k] belongs to item nextToEmit + k; there is one for every item started and not
    // yet handed to emit.
    std::deque<std::optional<Result>> slots;
    std::exception_ptr failure;

    const auto fail = [&](std::unique_lock<std::mutex>&) {
        if (!failure)
            failure = std::current_exception();
        roomFree.notify_all();
    };
    // Hands over every result at the front that is in, unless another thread is at it; called
    // with the lock held, and returns with it held.
    const auto emitReady = [&](std::unique_lock<std::mutex>& lock) {
        if (emitting)
            return;
        emitting = true;
        while (!failure && !slots.empty() && slots.front().has_value()) {
            std::optional<Result> ready = std::move(slots.front());
            slots.pop_front();
            const std::size_t item = nextToEmit++;
            roomFree.notify_one();
            lock.unlock();
            try {
                emit(item, std::move(*ready));
            } catch (...) {
                lock.lock();
                fail(lock);
                break;
            }
            lock.lock();
        }
        emitting = false;
    };
    const auto worker = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            roomFree.wait(lock, [&] { return nextToStart >= count || failure || nextToStart < nextToEmit + 2 * jobs; });
            if (nextToStart >= count || failure)
                return;
            const std::size_t item = nextToStart++;
            slots.emplace_back();
            lock.unlock();
            std::optional<Result> result;
            try {
                result.emplace(work(item));
            } catch (...) {
                lock.lock();
                fail(lock);
                return;
            }
            lock.lock();
            slots[item - nextToEmit] = std::move(result);
            if (item == nextToEmit)
                emitReady(lock);
        }
    };

    // The calling thread is one of the workers.
    const unsigned threads = unsigned(std::min<std::size_t>(jobs, count));
    std::vector<std::thread> pool;
    pool.reserve(threads - 1);
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool)
        t.join();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace tallyglass
