#include "FileStatus.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace tallyglass {

namespace {

bool statFollowing(const std::string& path, struct statx& stx, unsigned mask)
{
    return ::statx(AT_FDCWD, path.c_str(), AT_STATX_SYNC_AS_STAT, mask, &stx) == 0;
}

Seconds toSeconds(const struct statx_timestamp& ts)
{
    return Seconds(std::chrono::seconds(ts.tv_sec));
}

Nanoseconds toNanoseconds(const struct statx_timestamp& ts)
{
    return Nanoseconds(std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec));
}

std::string lastComponent(const std::string& absolute)
{
    const auto slash = absolute.find_last_of('/');
    return slash == std::string::npos ? absolute : absolute.substr(slash + 1);
}

} // namespace

std::optional<std::string> AbsolutePath(const std::string& path)
{
    std::string full;
    if (!path.empty() && path.front() == '/') {
        full = path;
    } else {
        std::vector<char> buffer(4096);
        while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
            if (errno != ERANGE || buffer.size() > (1u << 20))
                return std::nullopt;
            buffer.resize(buffer.size() * 2);
        }
        full = std::string(buffer.data()) + "/" + path;
    }

    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= full.size()) {
        std::size_t end = full.find('/', start);
        if (end == std::string::npos)
            end = full.size();
        const std::string part = full.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string normalised;
    for (const std::string& part : parts)
        normalised += "/" + part;
    return normalised.empty() ? std::string("/") : normalised;
}

namespace {

constexpr unsigned kFileMask = STATX_TYPE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_BTIME;

} // namespace

bool StatxFileSystem::FileExists(const std::string& path)
{
    m_kept.reset();
    // The status is read whole, as GetFile needs it: an extraction asks for it straight after,
    // and a second statx for it would cost as much as the first.
    struct statx stx {};
    if (path.empty() || !statFollowing(path, stx, kFileMask) || !S_ISREG(stx.stx_mode))
        return false;
    m_kept = Kept{path, stx};
    return true;
}

bool StatxFileSystem::FolderExists(const std::string& path)
{
    m_kept.reset();
    struct statx stx {};
    return !path.empty() && statFollowing(path, stx, STATX_TYPE) && S_ISDIR(stx.stx_mode);
}

std::variant<FileObject, FileStatusError> StatxFileSystem::GetFile(const std::string& path)
{
    struct statx stx {};
    if (m_kept && m_kept->path == path) {
        stx = m_kept->status;
        m_kept.reset();
    } else {
        m_kept.reset();
        if (!statFollowing(path, stx, kFileMask))
            return FileStatusError{std::strerror(errno)};
    }
    if (!S_ISREG(stx.stx_mode))
        return FileStatusError{"it is no longer a regular file"};
    const auto absolute = AbsolutePath(path);
    if (!absolute)
        return FileStatusError{std::string("the current folder cannot be read: ") + std::strerror(errno)};

    FileObject file;
    file.Name = lastComponent(*absolute);
    file.Path = *absolute;
    if (stx.stx_mask & STATX_BTIME) {
        file.DateCreated = toSeconds(stx.stx_btime);
        file.CreatedExact = toNanoseconds(stx.stx_btime);
    }
    file.DateLastModified = toSeconds(stx.stx_mtime);
    file.DateLastAccessed = toSeconds(stx.stx_atime);
    file.LastModifiedExact = toNanoseconds(stx.stx_mtime);
    file.LastAccessedExact = toNanoseconds(stx.stx_atime);
    file.Size = stx.stx_size;
    return file;
}

} // namespace tallyglass
