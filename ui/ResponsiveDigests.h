#pragma once

#include "Digests.h"

#include <QObject>

#include <functional>

namespace tallyglass {

// A digest service that keeps the window alive while a digest runs. A single digest of a
// large file takes minutes, and a desktop that gets no answer to its ping for a few seconds
// offers to kill the window. So the inner service runs on a worker thread while the window
// repaints and answers the desktop; user input is held back until the digest is done, so that
// it is still handled only where the extraction yields.
class ResponsiveDigests final : public DigestService {
public:
    explicit ResponsiveDigests(DigestService& inner) : m_inner(inner) {}

    std::string HashFile(int algorithm, std::string& path, int flag) override;

    // True while a digest is being computed.
    static bool Computing();

private:
    DigestService& m_inner;
};

// Runs work from the event loop, not from inside the caller. Events that the held input does
// not cover (a drop, above all) can arrive while a digest runs; their work then waits until
// the digest is done and runs at the extraction's next yield.
void RunWhenInputFree(QObject* context, std::function<void()> work);

} // namespace tallyglass
