#pragma once

#include "Digests.h"

#include <QObject>

#include <functional>

class QWidget;

namespace tallyglass {

// What a window shows of a running digest. A digest that ends within half a second shows
// nothing but the start and the end.
class DigestProgressDisplay {
public:
    virtual ~DigestProgressDisplay() = default;
    virtual void DigestStarted() = 0;
    // The fraction done, from 0 to 1: at most twenty times a second, once the digest has run
    // for half a second.
    virtual void DigestProgress(double fraction) = 0;
    virtual void DigestEnded() = 0;
};

// A digest service that keeps the window alive while a digest runs. A single digest of a
// large file takes minutes, and a desktop that gets no answer to its ping for a few seconds
// offers to kill the window. So the inner service runs on a worker thread while the window
// repaints and answers the desktop. User input is held back until the digest is done, so that
// it is still handled only where the extraction yields; only a request to close a window and
// the widgets let through (the Exit button) get to the window at once.
class ResponsiveDigests final : public DigestService {
public:
    explicit ResponsiveDigests(DigestService& inner) : m_inner(inner) {}

    // Never throws: a failure of the inner service is answered as a "Cannot read file: " text.
    std::string HashFile(int algorithm, std::string& path, int flag) override;

    // True while a digest is being computed.
    static bool Computing();
    // Cancels the digest being computed, if any, and waits until its thread is gone, so that
    // the program can end at once. The digest then answers kDigestCancelledText.
    static void CancelRunning();
    // The one display of digest progress, the window made last; a display that goes takes
    // itself away.
    static void SetDisplay(DigestProgressDisplay* display);
    static void RemoveDisplay(DigestProgressDisplay* display);
    // Mouse and keyboard input for this widget reaches it while a digest holds the rest back.
    static void LetThroughDuringDigests(QWidget* widget);

private:
    DigestService& m_inner;
};

// Runs work from the event loop, not from inside the caller. Events that the held input does
// not cover (a drop, above all) can arrive while a digest runs; their work then waits until
// the digest is done and runs at the extraction's next yield.
void RunWhenInputFree(QObject* context, std::function<void()> work);

} // namespace tallyglass
