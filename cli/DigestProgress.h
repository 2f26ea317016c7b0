#pragma once

#include "Digests.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tallyglass {

// Files from this size on show their digests' progress.
inline constexpr std::uint64_t kProgressLineFrom = std::uint64_t(64) << 20;

// The progress line of one digest: the algorithm, the percentage done, the speed so far in
// MB/s (millions of bytes) and the time left at that speed.
std::string ProgressLineText(std::string_view algorithm, std::uint64_t done, std::uint64_t size, double seconds);

// A digest service that shows, while a digest of a large file runs, one progress line on a
// terminal, rewritten in place and erased when the digest ends. On anything but a terminal it
// writes nothing, so scripts and saved outputs see no difference.
class TerminalDigestProgress final : public DigestService {
public:
    // The line goes to standard error unless another descriptor is named. It names the
    // digest that runs, or `label` instead when one is given (for a service that runs all
    // three digests at once).
    explicit TerminalDigestProgress(DigestService& inner, int terminalFd = 2, std::string_view label = {});

    std::string HashFile(int algorithm, std::string& path, int flag) override;

private:
    DigestService& m_inner;
    int m_fd;
    bool m_terminal;
    std::string_view m_label;
};

} // namespace tallyglass
