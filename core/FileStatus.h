#pragma once

#include "TextForms.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace tallyglass {

// A file-system time stamp to the nanosecond, as the kernel records it.
using Nanoseconds = std::chrono::sys_time<std::chrono::nanoseconds>;

// What the file-status service tells of one regular file.
struct FileObject {
    std::string Name;                // the last component of the path
    std::string Path;                // absolute, lexically normalised, links not resolved
    std::optional<Seconds> DateCreated; // none where the file system records no birth time
    Seconds DateLastModified;
    Seconds DateLastAccessed;
    std::uint64_t Size = 0;
    // The same three stamps with the nanoseconds statx gives. The window shows whole seconds
    // (the three above); the report tool's machine-readable forms carry these.
    std::optional<Nanoseconds> CreatedExact;
    Nanoseconds LastModifiedExact{};
    Nanoseconds LastAccessedExact{};
};

struct FileStatusError {
    std::string reason;
};

// The file-status service: existence tests and the status of one file.
class FileSystemService {
public:
    virtual ~FileSystemService() = default;
    // A regular file, symbolic links followed. FIFOs, sockets and devices are not files.
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool FolderExists(const std::string& path) = 0;
    virtual std::variant<FileObject, FileStatusError> GetFile(const std::string& path) = 0;
};

// The kernel's statx behind the service.
class StatxFileSystem final : public FileSystemService {
public:
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    // Answers from the status that FileExists has just read for the same path, when that is
    // the call before it; otherwise it reads the status afresh.
    std::variant<FileObject, FileStatusError> GetFile(const std::string& path) override;

private:
    // The whole status that the latest FileExists read, for the GetFile that follows it.
    struct Kept {
        std::string path;
        struct statx status;
    };
    std::optional<Kept> m_kept;
};

// The absolute form of a path: relative paths resolved against the current folder, "." and
// ".." and repeated slashes removed by text alone, so symbolic links stay as they were named.
std::optional<std::string> AbsolutePath(const std::string& path);

} // namespace tallyglass
