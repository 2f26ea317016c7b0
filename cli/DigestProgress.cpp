#include "DigestProgress.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace tallyglass {

namespace {

constexpr std::string_view kAlgorithmNames[] = {"MD5", "SHA-1", "SHA-256"};
// Back to the start of the line, and the rest of the line cleared.
constexpr std::string_view kEraseLine = "\r\033[K";

void writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n <= 0)
            return;
        text.remove_prefix(std::size_t(n));
    }
}

std::string durationText(double seconds)
{
    const long total = long(seconds + 0.5);
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

} // namespace

std::string ProgressLineText(std::string_view algorithm, std::uint64_t done, std::uint64_t size, double seconds)
{
    const int percent = size == 0 ? 100 : int(100.0 * double(done) / double(size));
    const double rate = seconds > 0 ? double(done) / seconds : 0;
    char text[128];
    std::snprintf(text, sizeof text, "%.*s %3d%%  %.1f MB/s  ", int(algorithm.size()), algorithm.data(), percent,
                  rate / 1e6);
    std::string line = text;
    if (rate > 0 && done <= size)
        line += durationText(double(size - done) / rate) + " left";
    else
        line += "--:-- left";
    return line;
}

TerminalDigestProgress::TerminalDigestProgress(DigestService& inner, int terminalFd, std::string_view label)
    : m_inner(inner), m_fd(terminalFd), m_terminal(::isatty(terminalFd) == 1), m_label(label)
{
}

std::string TerminalDigestProgress::HashFile(int algorithm, std::string& path, int flag)
{
    if (!m_terminal || algorithm < 0 || algorithm > 2)
        return m_inner.HashFile(algorithm, path, flag);
    const std::string_view name = m_label.empty() ? kAlgorithmNames[algorithm] : m_label;
    const auto start = std::chrono::steady_clock::now();
    bool shown = false;
    DigestOptions options;
    options.progress = [&](std::uint64_t done, std::uint64_t size) {
        if (size < kProgressLineFrom)
            return;
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        // Built by appending: GCC 12 reads a literal joined to the front of a temporary as
        // overlapping copies.
        std::string line = "\r";
        line += ProgressLineText(name, done, size, seconds.count());
        line += "\033[K";
        writeAll(m_fd, line);
        shown = true;
    };
    std::string digest = m_inner.HashFileWith(algorithm, path, flag, options);
    if (shown)
        writeAll(m_fd, kEraseLine);
    return digest;
}

} // namespace tallyglass
