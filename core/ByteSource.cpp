#include "ByteSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tallyglass {

int OpenForReading(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOATIME | O_NONBLOCK);
    if (fd < 0 && errno == EPERM)
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    // O_NONBLOCK only keeps a FIFO that slipped past the existence test from blocking the
    // open; regular files ignore it, but it is cleared so reads behave as usual.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
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
    const int fd = OpenForReading(path);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<FileSource>(new FileSource(fd, std::uint64_t(st.st_size)));
}

FileSource::~FileSource()
{
    ::close(m_fd);
}

bool FileSource::readAt(std::uint64_t offset, std::span<std::byte> into) const
{
    if (offset > m_size || into.size() > m_size - offset)
        return false;
    std::size_t done = 0;
    while (done < into.size()) {
        const ssize_t n = ::pread(m_fd, into.data() + done, into.size() - done, off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    m_read += done;
    return true;
}

} // namespace tallyglass
