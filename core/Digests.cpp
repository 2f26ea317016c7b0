#include "Digests.h"

#include "ByteSource.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <span>
#include <system_error>
#include <thread>
#include <vector>

namespace tallyglass {

namespace {

// Progress is reported at most twenty times a second.
constexpr auto kProgressInterval = std::chrono::milliseconds(50);

const EVP_MD* mdOf(DigestAlgorithm algorithm)
{
    switch (algorithm) {
    case DigestAlgorithm::MD5: return EVP_md5();
    case DigestAlgorithm::SHA1: return EVP_sha1();
    case DigestAlgorithm::SHA256: return EVP_sha256();
    }
    return nullptr;
}

std::string failure(int error)
{
    return std::string("Cannot read file: ") + std::strerror(error);
}

// One read(2), tried again when a signal cut it short before it read anything.
ssize_t readRetrying(int fd, unsigned char* into, std::size_t length)
{
    ssize_t n;
    do
        n = ::read(fd, into, length);
    while (n < 0 && errno == EINTR);
    return n;
}

struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
};

// The blocks between the reading thread and the digesting one. The reader fills the slot at
// `tail` while it is free and the digest takes the slot at `head` once it is filled; each side
// touches a slot's bytes only while the slot is its own.
class BlockRing {
public:
    struct Slot {
        std::unique_ptr<unsigned char[]> bytes;
        std::size_t length = 0;
    };

    explicit BlockRing(int fd) : m_fd(fd)
    {
        // The reader overwrites a block before the digest sees it: no need to clear it first.
        for (Slot& slot : m_slots)
            slot.bytes = std::make_unique_for_overwrite<unsigned char[]>(kDigestBlockSize);
    }

    // The reader's loop: fills free slots until the end of the file, an error or a stop.
    void readAll()
    {
        for (std::size_t tail = 0;; tail = (tail + 1) % kDigestRingBlocks) {
            {
                std::unique_lock lock(m_mutex);
                m_freed.wait(lock, [&] { return m_stop || m_filled < kDigestRingBlocks; });
                if (m_stop)
                    return;
            }
            Slot& slot = m_slots[tail];
            const ssize_t n = readRetrying(m_fd, slot.bytes.get(), kDigestBlockSize);
            const int error = n < 0 ? errno : 0;
            std::lock_guard lock(m_mutex);
            if (n <= 0) {
                m_error = error;
                m_ended = true;
                m_ready.notify_one();
                return;
            }
            slot.length = std::size_t(n);
            ++m_filled;
            m_ready.notify_one();
        }
    }

    // The next filled block, or null at the end of the file or after a read error.
    const Slot* next()
    {
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [&] { return m_filled > 0 || m_ended; });
        if (m_filled == 0)
            return nullptr;
        return &m_slots[m_head];
    }

    // Gives the block that next() answered back to the reader.
    void release()
    {
        std::lock_guard lock(m_mutex);
        m_head = (m_head + 1) % kDigestRingBlocks;
        --m_filled;
        // The reader is woken once half the ring is free, not for every block, so that on one
        // core the two threads change places once per half ring.
        if (m_filled == kDigestRingBlocks / 2)
            m_freed.notify_one();
    }

    void stop()
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_freed.notify_one();
    }

    int error() const
    {
        std::lock_guard lock(m_mutex);
        return m_error;
    }

private:
    int m_fd;
    std::array<Slot, kDigestRingBlocks> m_slots;
    mutable std::mutex m_mutex;
    std::condition_variable m_ready;
    std::condition_variable m_freed;
    std::size_t m_head = 0;
    std::size_t m_filled = 0;
    bool m_ended = false;
    bool m_stop = false;
    int m_error = 0;
};

// The reading thread, stopped and joined whichever way the digest ends.
class Reader {
public:
    explicit Reader(BlockRing& ring) : m_ring(ring), m_thread([&ring] { ring.readAll(); }) {}
    ~Reader()
    {
        m_ring.stop();
        m_thread.join();
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

private:
    BlockRing& m_ring;
    std::thread m_thread;
};

std::string hexOf(const unsigned char* digest, unsigned int length)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text(2 * length, '0');
    for (unsigned int i = 0; i < length; ++i) {
        text[2 * i] = kHex[digest[i] >> 4];
        text[2 * i + 1] = kHex[digest[i] & 0xF];
    }
    return text;
}

// One reading of a file through as many digests as are asked for: on success one lowercase
// hexadecimal text per algorithm, in the order asked; otherwise the one text that says why
// there is none, the same for every algorithm.
std::vector<std::string> digestsOfOneReading(std::span<const DigestAlgorithm> algorithms, const std::string& path,
                                             const DigestOptions& options)
{
    const auto everyone = [&](std::string text) { return std::vector<std::string>(algorithms.size(), text); };
    using Context = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;
    std::vector<Context> contexts;
    contexts.reserve(algorithms.size());
    for (const DigestAlgorithm algorithm : algorithms) {
        const EVP_MD* md = mdOf(algorithm);
        if (md == nullptr)
            return everyone("Cannot read file: unknown digest");
        contexts.emplace_back(EVP_MD_CTX_new(), EVP_MD_CTX_free);
        if (!contexts.back() || EVP_DigestInit_ex(contexts.back().get(), md, nullptr) != 1)
            return everyone("Cannot read file: the digest could not be started");
    }
    struct stat st {};
    const int fd = OpenForReading(path, st);
    if (fd < 0)
        return everyone(failure(errno));
    FdCloser closer{fd};
    // Only a regular file has a size to hold its reading to.
    const bool sized = S_ISREG(st.st_mode);
    const std::uint64_t size = sized ? std::uint64_t(st.st_size) : 0;

    const auto cancelled = [&] { return options.cancel && options.cancel->load(std::memory_order_relaxed); };
    using Clock = std::chrono::steady_clock;
    auto lastProgress = Clock::now();
    std::uint64_t done = 0;
    const auto digestBlock = [&](const unsigned char* bytes, std::size_t length) {
        for (const Context& context : contexts)
            if (EVP_DigestUpdate(context.get(), bytes, length) != 1)
                return false;
        done += length;
        if (options.progress) {
            const auto now = Clock::now();
            if (now - lastProgress >= kProgressInterval) {
                lastProgress = now;
                options.progress(done, std::max(size, done));
            }
        }
        return true;
    };
    if (sized && size < kDigestBlockSize) {
        // A file that fits in one block gains nothing from a reader of its own, and starting
        // one costs more than digesting a small file: it is read here, on the calling thread.
        unsigned char block[kDigestBlockSize];
        for (;;) {
            if (cancelled())
                return everyone(std::string(kDigestCancelledText));
            const ssize_t n = readRetrying(fd, block, sizeof block);
            if (n < 0)
                return everyone(failure(errno));
            if (n == 0)
                break;
            if (!digestBlock(block, std::size_t(n)))
                return everyone("Cannot read file: the digest failed");
        }
    } else {
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        std::unique_ptr<BlockRing> ring;
        std::unique_ptr<Reader> reader;
        try {
            ring = std::make_unique<BlockRing>(fd);
            reader = std::make_unique<Reader>(*ring);
        } catch (const std::system_error& e) {
            return everyone("Cannot read file: " + std::string(e.what()));
        } catch (const std::bad_alloc&) {
            return everyone("Cannot read file: out of memory");
        }
        for (;;) {
            if (cancelled())
                return everyone(std::string(kDigestCancelledText));
            const BlockRing::Slot* block = ring->next();
            if (block == nullptr)
                break;
            if (!digestBlock(block->bytes.get(), block->length))
                return everyone("Cannot read file: the digest failed");
            ring->release();
        }
        if (const int error = ring->error())
            return everyone(failure(error));
    }
    if (sized && done < size)
        return everyone("Cannot read file: it became shorter while it was read");
    if (cancelled())
        return everyone(std::string(kDigestCancelledText));

    std::vector<std::string> digests;
    digests.reserve(contexts.size());
    for (const Context& context : contexts) {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1)
            return everyone("Cannot read file: the digest could not be finished");
        digests.push_back(hexOf(digest, length));
    }
    if (options.progress)
        options.progress(done, std::max(size, done));
    return digests;
}

constexpr DigestAlgorithm kEveryAlgorithm[] = {DigestAlgorithm::MD5, DigestAlgorithm::SHA1, DigestAlgorithm::SHA256};

} // namespace

std::string DigestOfFile(DigestAlgorithm algorithm, const std::string& path, const DigestOptions& options)
{
    return std::move(digestsOfOneReading(std::span(&algorithm, 1), path, options).front());
}

std::array<std::string, 3> EveryDigestOfFile(const std::string& path, const DigestOptions& options)
{
    std::vector<std::string> digests = digestsOfOneReading(kEveryAlgorithm, path, options);
    return {std::move(digests[0]), std::move(digests[1]), std::move(digests[2])};
}

std::string OpenSslDigests::HashFile(int algorithm, std::string& path, int flag)
{
    return HashFileWith(algorithm, path, flag, {});
}

std::string OpenSslDigests::HashFileWith(int algorithm, std::string& path, int, const DigestOptions& options)
{
    if (algorithm < 0 || algorithm > 2)
        return "Cannot read file: unknown digest";
    return DigestOfFile(DigestAlgorithm(algorithm), path, options);
}

namespace {

// What a one-pass service read last on this thread: the digests of that reading not yet
// asked for, and the latest algorithm that was asked for.
struct KeptDigests {
    std::uint64_t owner = 0;
    std::string path;
    int lastAsked = -1;
    std::array<std::string, 3> texts;
};

thread_local KeptDigests t_kept;
std::atomic<std::uint64_t> g_lastServiceNumber{0};

} // namespace

OnePassDigests::OnePassDigests() : m_number(++g_lastServiceNumber) {}

std::string OnePassDigests::HashFile(int algorithm, std::string& path, int flag)
{
    return HashFileWith(algorithm, path, flag, {});
}

std::string OnePassDigests::HashFileWith(int algorithm, std::string& path, int, const DigestOptions& options)
{
    if (algorithm < 0 || algorithm > 2)
        return "Cannot read file: unknown digest";
    KeptDigests& kept = t_kept;
    // A digest comes from the latest reading only when the calls follow each other in the
    // order MD5, SHA-1, SHA-256 for the same path; anything else reads the file afresh, so a
    // kept digest never answers a later, separate examination.
    if (kept.owner == m_number && kept.path == path && algorithm > kept.lastAsked) {
        kept.lastAsked = algorithm;
        return std::move(kept.texts[std::size_t(algorithm)]);
    }
    kept.owner = m_number;
    kept.path = path;
    kept.lastAsked = algorithm;
    kept.texts = EveryDigestOfFile(path, options);
    return std::move(kept.texts[std::size_t(algorithm)]);
}

} // namespace tallyglass
