#include "BatchProgress.h"

#include <unistd.h>

namespace tallyglass {

namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(200);

} // namespace

bool StderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

BatchProgress::BatchProgress(std::size_t total, bool enabled)
    : m_total(total), m_enabled(enabled && total > 1), m_start(std::chrono::steady_clock::now()),
      m_lastDrawn(m_start)
{
}

BatchProgress::~BatchProgress()
{
    clearLine();
}

void BatchProgress::fileDone()
{
    ++m_done;
    if (!m_enabled)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastDrawn < kRedrawEvery && m_done < m_total)
        return;
    m_lastDrawn = now;
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    const double rate = seconds > 0 ? double(m_done) / seconds : 0.0;
    std::fprintf(stderr, "\r\033[K%zu/%zu files, %.0f files/s", m_done, m_total, rate);
    std::fflush(stderr);
    m_shown = true;
}

void BatchProgress::clearLine()
{
    if (!m_shown)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    m_shown = false;
}

} // namespace tallyglass
