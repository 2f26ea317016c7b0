#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tallyglass {

enum class DigestAlgorithm { MD5 = 0, SHA1 = 1, SHA256 = 2 };

// A digest reads its file in blocks of this size through a ring of this many buffers, so its
// memory stays the same whatever the file's size. A block of 64 KiB is still in the core's own
// cache when the digest runs over it, and the kernel's copy out of the page cache into it is
// quick; 128 KiB blocks measured slower (twice the system time on a cached 1 GiB file, and
// slower than openssl dgst on one core), smaller ones no faster.
inline constexpr std::size_t kDigestBlockSize = 64u << 10;
inline constexpr std::size_t kDigestRingBlocks = 8;

// What a cancelled digest answers: no digest can be mistaken for it.
inline constexpr std::string_view kDigestCancelledText = "Cancelled";

// What a caller may hand a digest besides the algorithm and the path.
struct DigestOptions {
    // Bytes digested so far against the file's size, on the calling thread: at most about
    // twenty times a second while the digest runs, and once more when it has succeeded, with
    // all of the file done.
    std::function<void(std::uint64_t done, std::uint64_t size)> progress;
    // Looked at before every block; once it is true the digest stops, closes the file and
    // answers kDigestCancelledText.
    const std::atomic<bool>* cancel = nullptr;
};

// The digest service: the digest of a file, by path. The path is handed back through the
// reference; this one takes paths as their bytes and never changes them.
class DigestService {
public:
    virtual ~DigestService() = default;
    virtual std::string HashFile(int algorithm, std::string& path, int flag) = 0;
    // The same with progress and cancellation; a service that offers neither ignores them.
    virtual std::string HashFileWith(int algorithm, std::string& path, int flag, const DigestOptions&)
    {
        return HashFile(algorithm, path, flag);
    }
};

// OpenSSL's digests over the file read in large blocks. The result is lowercase hexadecimal,
// as md5sum and sha256sum print it, or "Cannot read file: " and the reason, which no digest
// can be mistaken for.
class OpenSslDigests final : public DigestService {
public:
    std::string HashFile(int algorithm, std::string& path, int flag) override;
    std::string HashFileWith(int algorithm, std::string& path, int flag, const DigestOptions& options) override;
};

// One digest of one file. For a file larger than one block a thread of its own reads the next
// blocks while this one digests the current block; the thread is gone and the file closed
// when this returns. A smaller file is read on the calling thread.
std::string DigestOfFile(DigestAlgorithm algorithm, const std::string& path, const DigestOptions& options = {});

// MD5, SHA-1 and SHA-256 of one reading of a file, in that order, read the same way as one
// digest is. Where the file could not be read all three are the same "Cannot read file: " text.
std::array<std::string, 3> EveryDigestOfFile(const std::string& path, const DigestOptions& options = {});

// The same digests as OpenSslDigests from one reading of the file instead of three: the call
// for MD5 reads the file once through all three digests, and the calls for SHA-1 and SHA-256
// of the same path that follow it on the same thread, in that order, answer from that reading.
// Any other call reads the file afresh. The three digests then describe one and the same
// reading of the file, and a batch of small files costs a third of the opens and reads. Calls
// on different threads do not meet; progress, when asked for, covers the one reading.
class OnePassDigests final : public DigestService {
public:
    OnePassDigests();
    std::string HashFile(int algorithm, std::string& path, int flag) override;
    std::string HashFileWith(int algorithm, std::string& path, int flag, const DigestOptions& options) override;

private:
    std::uint64_t m_number; // tells this service's kept reading from another's
};

} // namespace tallyglass
