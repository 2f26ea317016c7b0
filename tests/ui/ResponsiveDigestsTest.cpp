#include "WindowTestKit.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <future>

namespace tallyglass::test {
namespace {

// A digest that waits until the window's event loop has run a timer: it finishes only if the
// window stays alive while it computes.
class WaitingDigests final : public DigestService {
public:
    std::promise<void> timerRan;
    bool sawTimer = false;
    std::string HashFile(int algorithm, std::string& path, int) override
    {
        sawTimer = timerRan.get_future().wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        path += "!";
        return "digest " + std::to_string(algorithm);
    }
};

TEST(ResponsiveDigests, WindowStaysAliveWhileADigestRuns)
{
    WaitingDigests inner;
    ResponsiveDigests digests(inner);
    QObject context;
    QTimer::singleShot(0, &context, [&] { inner.timerRan.set_value(); });
    std::string path = "/some/file";
    EXPECT_EQ(digests.HashFile(2, path, -1), "digest 2");
    EXPECT_TRUE(inner.sawTimer);
    EXPECT_EQ(path, "/some/file!");
    EXPECT_FALSE(ResponsiveDigests::Computing());
}

// Work that arrives while a digest runs (a drop, say) waits until the digest is done.
class HoldingDigests final : public DigestService {
public:
    std::promise<void> workPosted;
    bool ranDuringDigest = false;
    bool* ran = nullptr;
    std::string HashFile(int, std::string&, int) override
    {
        workPosted.get_future().wait_for(std::chrono::seconds(5));
        // Give the window's loop the time to run whatever it would run.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ranDuringDigest = *ran;
        return "done";
    }
};

TEST(ResponsiveDigests, WorkArrivingDuringADigestWaitsForIt)
{
    bool ran = false;
    HoldingDigests inner;
    inner.ran = &ran;
    ResponsiveDigests digests(inner);
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        RunWhenInputFree(&context, [&] { ran = true; });
        inner.workPosted.set_value();
    });
    std::string path = "/x";
    EXPECT_EQ(digests.HashFile(0, path, -1), "done");
    EXPECT_FALSE(inner.ranDuringDigest);
    EXPECT_FALSE(ran);
    EXPECT_TRUE(Settle([&] { return ran; }));
}

class ThrowingDigests final : public DigestService {
public:
    std::string HashFile(int, std::string&, int) override { throw std::runtime_error("unreadable"); }
};

// The digest may run inside an event handler (a drop); its failure is shown, never thrown
// through the event dispatch.
TEST(ResponsiveDigests, FailureOfTheInnerServiceReachesTheCallerAsText)
{
    ThrowingDigests inner;
    ResponsiveDigests digests(inner);
    std::string path = "/x";
    EXPECT_EQ(digests.HashFile(1, path, -1), "Cannot read file: unreadable");
    EXPECT_FALSE(ResponsiveDigests::Computing());
}

} // namespace
} // namespace tallyglass::test
