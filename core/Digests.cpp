#include "Digests.h"

#include "ByteSource.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace tallyglass {

namespace {

// A read of 128 KiB keeps the system-call count low while the block is still in the core's
// own cache when the digest runs over it; larger blocks measured slower. Memory use does not
// grow with the file.
constexpr std::size_t kReadBlock = 128u << 10;

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

struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
};

} // namespace

std::string DigestOfFile(DigestAlgorithm algorithm, const std::string& path)
{
    const EVP_MD* md = mdOf(algorithm);
    if (md == nullptr)
        return "Cannot read file: unknown digest";
    const int fd = OpenForReading(path);
    if (fd < 0)
        return failure(errno);
    FdCloser closer{fd};
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);

    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!ctx || EVP_DigestInit_ex(ctx.get(), md, nullptr) != 1)
        return "Cannot read file: the digest could not be started";

    std::vector<unsigned char> buffer(kReadBlock);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failure(errno);
        }
        if (n == 0)
            break;
        EVP_DigestUpdate(ctx.get(), buffer.data(), std::size_t(n));
    }

    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(ctx.get(), digest, &length) != 1)
        return "Cannot read file: the digest could not be finished";
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text(2 * length, '0');
    for (unsigned int i = 0; i < length; ++i) {
        text[2 * i] = kHex[digest[i] >> 4];
        text[2 * i + 1] = kHex[digest[i] & 0xF];
    }
    return text;
}

std::string OpenSslDigests::HashFile(int algorithm, std::string& path, int)
{
    if (algorithm < 0 || algorithm > 2)
        return "Cannot read file: unknown digest";
    return DigestOfFile(DigestAlgorithm(algorithm), path);
}

} // namespace tallyglass
