#pragma once

#include <string>

namespace tallyglass {

enum class DigestAlgorithm { MD5 = 0, SHA1 = 1, SHA256 = 2 };

// The digest service: the digest of a file, by path. The path is handed back through the
// reference; this one takes paths as their bytes and never changes them.
class DigestService {
public:
    virtual ~DigestService() = default;
    virtual std::string HashFile(int algorithm, std::string& path, int flag) = 0;
};

// OpenSSL's digests over the file read in large blocks. The result is lowercase hexadecimal,
// as md5sum and sha256sum print it, or "Cannot read file: " and the reason, which no digest
// can be mistaken for.
class OpenSslDigests final : public DigestService {
public:
    std::string HashFile(int algorithm, std::string& path, int flag) override;
};

std::string DigestOfFile(DigestAlgorithm algorithm, const std::string& path);

} // namespace tallyglass
