#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct stat;

namespace tallyglass {

// Positioned reads from a file or from memory. The document readers see examined files only
// through this, so the fuzzers can hand them bytes and the component never reads a file whole.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Fills all of `into` from `offset`, or answers false (past the end, or a read error).
    virtual bool readAt(std::uint64_t offset, std::span<std::byte> into) const = 0;
    // Bytes handed over so far; the benchmarks report it.
    virtual std::uint64_t bytesRead() const = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::byte> bytes) : m_bytes(bytes) {}
    std::uint64_t size() const override { return m_bytes.size(); }
    bool readAt(std::uint64_t offset, std::span<std::byte> into) const override;
    std::uint64_t bytesRead() const override { return m_read; }

private:
    std::span<const std::byte> m_bytes;
    mutable std::uint64_t m_read = 0;
};

// A regular file opened read-only, without touching its access time where the kernel allows
// it. The file is closed when the source goes.
class FileSource final : public ByteSource {
public:
    static std::unique_ptr<FileSource> open(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::uint64_t size() const override { return m_size; }
    bool readAt(std::uint64_t offset, std::span<std::byte> into) const override;
    std::uint64_t bytesRead() const override { return m_read; }

private:
    // The first bytes of the file, kept after the first read that falls within them.
    static constexpr std::uint64_t kHeadBytes = 4096;

    FileSource(int fd, std::uint64_t size) : m_fd(fd), m_size(size) {}
    bool readFully(std::uint64_t offset, std::span<std::byte> into) const;
    int m_fd;
    std::uint64_t m_size;
    mutable std::optional<std::vector<unsigned char>> m_head; // none until first read
    mutable std::uint64_t m_read = 0;
};

// Opens a file for reading only, with O_NOATIME where the kernel lets us (it refuses it on
// files of other users), so that examining a file leaves its Last Accessed time alone, and
// fills `status` with what fstat says of it. Answers -1 with errno set when the file cannot
// be opened.
int OpenForReading(const std::string& path, struct stat& status);

// What opening a file with O_NOATIME met: taken (the access time stays as it was), refused
// (the kernel allows it only to the file's owner, so reading may update the access time), or
// the file could not be opened at all (nothing was read).
enum class NoAtime { Taken, Refused, NotOpened };

// What the latest OpenForReading on the calling thread met, when that open was of `path` and
// nobody has asked since; nothing when it was of another path, or there was none. Asking
// forgets it, so an examination never takes an earlier examination's open for its own. The
// report tool learns from it how the file it has just examined was read without opening it
// once more.
std::optional<NoAtime> TakeLatestOpenOnThisThread(const std::string& path);

} // namespace tallyglass
