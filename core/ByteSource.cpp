#include "ByteSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tallyglass {

namespace {

struct LatestOpen {
    bool opened = false; // an open is recorded and not yet taken
    std::string path;
    NoAtime met = NoAtime::NotOpened;
};

thread_local LatestOpen t_latestOpen;

} // namespace

int OpenForReading(const std::string& path, struct stat& status)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOATIME | O_NONBLOCK);
    LatestOpen& latest = t_latestOpen;
    latest.opened = true;
    latest.path = path;
    latest.met = fd >= 0 ? NoAtime::Taken : errno == EPERM ? NoAtime::Refused : NoAtime::NotOpened;
    if (fd < 0 && errno == EPERM)
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    // O_NONBLOCK only keeps a FIFO that slipped past the existence test from blocking the
    // open; regular files ignore it, anything else has it cleared so reads behave as usual.
    if (!S_ISREG(status.st_mode)) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0)
            ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    return fd;
}

std::optional<NoAtime> TakeLatestOpenOnThisThread(const std::string& path)
{
    LatestOpen& latest = t_latestOpen;
    if (!latest.opened || latest.path != path)
        return std::nullopt;
    latest.opened = false;
    return latest.met;
}

bool MemorySource::readAt(std::uint64_t offset, std::span<std::byte> into) const
{
    if (offset > m_bytes.size() || into.size() > m_bytes.size() - offset)
        return false;
    // An empty read of an empty source has no bytes to copy, and memcpy takes no null.
    if (into.empty())
        return true;
    std::memcpy(into.data(), m_bytes.data() + offset, into.size());
    m_read += into.size();
    return true;
}

std::unique_ptr<FileSource> FileSource::open(const std::string& path)
{
    struct stat st {};
    const int fd = OpenForReading(path, st);
    if (fd < 0)
        return nullptr;
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<FileSource>(new FileSource(fd, std::uint64_t(st.st_size)));
}

FileSource::~FileSource()
{
    ::close(m_fd);
}

bool FileSource::readFully(std::uint64_t offset, std::span<std::byte> into) const
{
    std::size_t done = 0;
    while (done < into.size()) {
        const ssize_t n = ::pread(m_fd, into.data() + done, into.size() - done, off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return true;
}

bool FileSource::readAt(std::uint64_t offset, std::span<std::byte> into) const
{
    if (offset > m_size || into.size() > m_size - offset)
        return false;
    if (offset + into.size() > kHeadBytes) {
        if (!readFully(offset, into))
            return false;
        m_read += into.size();
        return true;
    }
    // Every reader looks at the first bytes to know its format: they are read once.
    if (!m_head) {
        std::vector<unsigned char> head(std::size_t(std::min<std::uint64_t>(m_size, kHeadBytes)));
        if (!readFully(0, std::as_writable_bytes(std::span(head))))
            return false;
        m_head = std::move(head);
    }
    if (offset + into.size() > m_head->size())
        return false;
    std::copy_n(m_head->begin() + std::ptrdiff_t(offset), into.size(), reinterpret_cast<unsigned char*>(into.data()));
    m_read += into.size();
    return true;
}

} // namespace tallyglass
