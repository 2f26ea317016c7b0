#include "Digests.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <utility>
#include <vector>
#include <cstdio>
#include <memory>

using namespace tallyglass;

namespace {

std::string commandOutput(const std::string& command)
{
    std::unique_ptr<FILE, decltype(&pclose)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    std::array<char, 256> buffer{};
    while (pipe && std::fgets(buffer.data(), int(buffer.size()), pipe.get()))
        out += buffer.data();
    return out;
}

std::string firstWord(const std::string& line)
{
    return line.substr(0, line.find(' '));
}

} // namespace

TEST(Digests, KnownVectors)
{
    TempFolder folder;
    const std::string empty = folder.write("empty", "");
    EXPECT_EQ(DigestOfFile(DigestAlgorithm::MD5, empty), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(DigestOfFile(DigestAlgorithm::SHA1, empty), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(DigestOfFile(DigestAlgorithm::SHA256, empty),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    const std::string abc = folder.write("abc", "abc");
    EXPECT_EQ(DigestOfFile(DigestAlgorithm::MD5, abc), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(DigestOfFile(DigestAlgorithm::SHA1, abc), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(DigestOfFile(DigestAlgorithm::SHA256, abc),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(Digests, AgreeWithCoreutilsAcrossBlockBoundaries)
{
    TempFolder folder;
    const std::size_t sizes[] = {0, 1, 63, 64, 65, (1u << 20) - 1, 1u << 20, (1u << 20) + 1, 3u << 20};
    unsigned seed = 1;
    for (const std::size_t size : sizes) {
        const std::string file = folder.writeRandom("random-" + std::to_string(size), size, seed++);
        EXPECT_EQ(DigestOfFile(DigestAlgorithm::MD5, file), firstWord(commandOutput("md5sum '" + file + "'")));
        EXPECT_EQ(DigestOfFile(DigestAlgorithm::SHA1, file), firstWord(commandOutput("sha1sum '" + file + "'")));
        EXPECT_EQ(DigestOfFile(DigestAlgorithm::SHA256, file), firstWord(commandOutput("sha256sum '" + file + "'")));
        // One reading through all three gives the same three digests.
        const auto every = EveryDigestOfFile(file);
        EXPECT_EQ(every[0], DigestOfFile(DigestAlgorithm::MD5, file)) << size;
        EXPECT_EQ(every[1], DigestOfFile(DigestAlgorithm::SHA1, file)) << size;
        EXPECT_EQ(every[2], DigestOfFile(DigestAlgorithm::SHA256, file)) << size;
    }
    // A regular file whose size says 0 but which holds text, as the kernel's own files do, is
    // read to its end like any other.
    EXPECT_EQ(DigestOfFile(DigestAlgorithm::MD5, "/proc/version"), firstWord(commandOutput("md5sum /proc/version")));
}

TEST(Digests, ServiceHandsThePathBackUnchanged)
{
    TempFolder folder;
    // A name that is not valid UTF-8 is read by its bytes.
    const std::string file = folder.write("caf\xE9-\xFF.bin", "abc");
    OpenSslDigests service;
    std::string path = file;
    EXPECT_EQ(service.HashFile(0, path, -1), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(path, file);
    EXPECT_EQ(service.HashFile(2, path, -1),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(path, file);
}

// The one-pass service reads the file once for the three calls of one examination: a change
// made to the file after the MD5 call is not in the SHA-1 and SHA-256 that follow, while any
// call out of that order, for another path or on another thread reads the file afresh.
TEST(Digests, OnePassServiceAnswersOneExaminationFromOneReading)
{
    TempFolder folder;
    const std::string file = folder.write("changing", "abc");
    const std::string other = folder.write("other", "abc");
    const std::string abcMd5 = "900150983cd24fb0d6963f7d28e17f72";
    const std::string abcSha1 = "a9993e364706816aba3e25717850c26c9cd0d89d";
    const std::string abcSha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    OnePassDigests service;
    const auto hash = [&service](int algorithm, const std::string& of) {
        std::string path = of;
        std::string digest = service.HashFile(algorithm, path, -1);
        EXPECT_EQ(path, of);
        return digest;
    };
    const auto change = [&](const char* bytes) { folder.write("changing", bytes); };

    EXPECT_EQ(hash(0, file), abcMd5);
    change("xyz");
    EXPECT_EQ(hash(1, file), abcSha1);
    EXPECT_EQ(hash(2, file), abcSha256);
    // The next examination of the same path starts with MD5 and reads the file as it is now.
    EXPECT_EQ(hash(0, file), DigestOfFile(DigestAlgorithm::MD5, file));
    change("abc");
    // Asking again for what was asked already, or for another path, reads afresh.
    EXPECT_EQ(hash(0, file), abcMd5);
    change("xyz");
    EXPECT_EQ(hash(0, file), DigestOfFile(DigestAlgorithm::MD5, file));
    EXPECT_EQ(hash(1, other), abcSha1);
    EXPECT_EQ(hash(2, file), DigestOfFile(DigestAlgorithm::SHA256, file));
    // Another service, or another thread, does not take this one's reading.
    change("abc");
    EXPECT_EQ(hash(0, file), abcMd5);
    change("xyz");
    std::string fromThread;
    std::thread([&] { fromThread = hash(1, file); }).join();
    EXPECT_EQ(fromThread, DigestOfFile(DigestAlgorithm::SHA1, file));
    OnePassDigests second;
    std::string path = file;
    EXPECT_EQ(second.HashFile(1, path, -1), DigestOfFile(DigestAlgorithm::SHA1, file));
    // A file that cannot be read answers the reason for all three.
    const std::string missing = (folder.path() / "missing").string();
    for (int algorithm = 0; algorithm < 3; ++algorithm)
        EXPECT_EQ(hash(algorithm, missing), "Cannot read file: No such file or directory");
}

TEST(Digests, FailuresNameTheReasonAndCannotPassForADigest)
{
    TempFolder folder;
    EXPECT_EQ(DigestOfFile(DigestAlgorithm::MD5, (folder.path() / "missing").string()),
              "Cannot read file: No such file or directory");
    EXPECT_EQ(DigestOfFile(DigestAlgorithm::SHA1, folder.path().string()), "Cannot read file: Is a directory");
}

TEST(Digests, FileWithoutReadPermission)
{
    TempFolder folder;
    const std::string file = folder.write("secret", "abc");
    ASSERT_EQ(chmod(file.c_str(), 0), 0);
    chmod(folder.path().c_str(), 0755);
    if (geteuid() != 0) {
        EXPECT_EQ(DigestOfFile(DigestAlgorithm::MD5, file), "Cannot read file: Permission denied");
        return;
    }
    // Root reads everything; the digest is taken by a child that has become an ordinary user.
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(channel[0]);
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(3);
        const std::string result = DigestOfFile(DigestAlgorithm::MD5, file);
        if (write(channel[1], result.data(), result.size()) < 0)
            _exit(4);
        _exit(0);
    }
    close(channel[1]);
    std::string result;
    char buffer[256];
    ssize_t n;
    while ((n = read(channel[0], buffer, sizeof buffer)) > 0)
        result.append(buffer, std::size_t(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3)
        GTEST_SKIP() << "cannot become an ordinary user here";
    EXPECT_EQ(result, "Cannot read file: Permission denied");
}

TEST(Digests, ExaminingAFileLeavesItsAccessTimeAlone)
{
    TempFolder folder;
    const std::string file = folder.write("old", "some bytes");
    const struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    DigestOfFile(DigestAlgorithm::SHA256, file);
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_atim.tv_sec, 1000000000);
}

namespace {

// A file of `size` bytes that takes no room: reading it costs no disk, digesting it still
// costs the processor.
std::string sparseFile(const TempFolder& folder, const std::string& name, std::uint64_t size)
{
    const std::string file = folder.write(name, "");
    EXPECT_EQ(truncate(file.c_str(), off_t(size)), 0);
    return file;
}

std::size_t entriesIn(const char* folder)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

struct ProgressLog {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
    DigestOptions options(const std::atomic<bool>* cancel = nullptr)
    {
        return {[this](std::uint64_t done, std::uint64_t size) { calls.emplace_back(done, size); }, cancel};
    }
};

} // namespace

TEST(Digests, AgreeWithCoreutilsAtRingBoundaries)
{
    TempFolder folder;
    constexpr std::size_t block = kDigestBlockSize;
    constexpr std::size_t ring = kDigestBlockSize * kDigestRingBlocks;
    const std::size_t sizes[] = {block - 1, block, block + 1, ring - 1, ring, ring + 1,
                                 2 * ring + block / 2, 3 * ring - 1};
    unsigned seed = 100;
    for (const std::size_t size : sizes) {
        const std::string file = folder.writeRandom("ring-" + std::to_string(size), size, seed++);
        ProgressLog log;
        EXPECT_EQ(DigestOfFile(DigestAlgorithm::SHA256, file, log.options()),
                  firstWord(commandOutput("sha256sum '" + file + "'")))
            << size;
        EXPECT_EQ(DigestOfFile(DigestAlgorithm::MD5, file), firstWord(commandOutput("md5sum '" + file + "'")));
        ASSERT_FALSE(log.calls.empty());
        EXPECT_EQ(log.calls.back(), std::make_pair(std::uint64_t(size), std::uint64_t(size)));
    }
}

TEST(Digests, ProgressClimbsAtMostTwentyTimesASecondAndEndsAtTheSize)
{
    TempFolder folder;
    constexpr std::uint64_t size = 128u << 20;
    const std::string file = sparseFile(folder, "big", size);
    ProgressLog log;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(DigestOfFile(DigestAlgorithm::MD5, file, log.options()),
              firstWord(commandOutput("head -c " + std::to_string(size) + " /dev/zero | md5sum")));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_FALSE(log.calls.empty());
    EXPECT_EQ(log.calls.back(), std::make_pair(size, size));
    for (std::size_t i = 1; i < log.calls.size(); ++i) {
        EXPECT_LE(log.calls[i - 1].first, log.calls[i].first);
        EXPECT_EQ(log.calls[i].second, size);
    }
    EXPECT_LE(log.calls.size(), std::size_t(elapsed / std::chrono::milliseconds(50)) + 2);
}

TEST(Digests, FileThatShrinksWhileReadGivesAReadErrorNotADigest)
{
    TempFolder folder;
    const std::string file = sparseFile(folder, "shrinking", 1u << 30);
    bool cut = false;
    DigestOptions options;
    options.progress = [&](std::uint64_t, std::uint64_t) {
        if (!std::exchange(cut, true)) {
            EXPECT_EQ(truncate(file.c_str(), 1000), 0);
        }
    };
    EXPECT_EQ(DigestOfFile(DigestAlgorithm::MD5, file, options),
              "Cannot read file: it became shorter while it was read");
    EXPECT_TRUE(cut);
}

TEST(Digests, CancelledDigestReturnsAtOnceAndLeavesNoThreadOrDescriptor)
{
    TempFolder folder;
    const std::string file = sparseFile(folder, "huge", std::uint64_t(16) << 30);
    const std::size_t descriptors = entriesIn("/proc/self/fd");
    const std::size_t threads = entriesIn("/proc/self/task");

    std::atomic<bool> cancel = false;
    ProgressLog log;
    std::string result;
    std::atomic<bool> finished = false;
    std::thread caller([&] {
        result = DigestOfFile(DigestAlgorithm::MD5, file, log.options(&cancel));
        finished = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(finished);
    const auto cancelledAt = std::chrono::steady_clock::now();
    cancel = true;
    while (!finished && std::chrono::steady_clock::now() - cancelledAt < std::chrono::seconds(5))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_LT(std::chrono::steady_clock::now() - cancelledAt, std::chrono::seconds(1));
    caller.join();

    EXPECT_EQ(result, kDigestCancelledText);
    EXPECT_EQ(entriesIn("/proc/self/fd"), descriptors);
    EXPECT_EQ(entriesIn("/proc/self/task"), threads);
    // Progress came while the digest ran, none for the end it never reached.
    ASSERT_FALSE(log.calls.empty());
    EXPECT_LT(log.calls.back().first, log.calls.back().second);
}
