#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>

namespace tallyglass {

// "1234/10000 files, 850 files/s" on one line of standard error, rewritten in place, for long
// runs whose standard error is a terminal; nothing otherwise. Messages written to standard
// error go through clearLine first, so they never land in the middle of it.
class BatchProgress {
public:
    BatchProgress(std::size_t total, bool enabled);
    ~BatchProgress();
    void fileDone();
    void clearLine();

private:
    std::size_t m_total;
    std::size_t m_done = 0;
    bool m_enabled;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_lastDrawn;
};

// Standard error is a terminal.
bool StderrIsTerminal();

} // namespace tallyglass
