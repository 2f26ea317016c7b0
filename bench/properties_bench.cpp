// Reads the document properties of the given files N times each and prints the time per file
// and what the process read (/proc/self/io), so bench/properties.sh can set it against a
// peer reader. Usage: properties_bench N FILE...   or   properties_bench --make-large PATH
// or   properties_bench --rtf N FILE...   (the RTF reader, which the dispatcher does not know yet)
#include "compound/CompoundFileBuilder.h"
#include "docprops/DocumentReader.h"
#include "docprops/rtf/RtfDocument.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// The process's read counters: rchar (bytes asked of read calls) and read_bytes (from disk).
std::pair<unsigned long long, unsigned long long> readCounters()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    unsigned long long value = 0, rchar = 0, readBytes = 0;
    while (io >> key >> value) {
        if (key == "rchar:")
            rchar = value;
        else if (key == "read_bytes:")
            readBytes = value;
    }
    return {rchar, readBytes};
}

// A sparse compound file of 1 GiB: one stream of 1 GiB, then the two property streams.
int makeLarge(const char* path)
{
    using namespace tallyglass;
    using namespace tallyglass::test;
    CompoundFileBuilder builder(12);
    builder.padding(262000)
        .paddingStream(u"WordDocument")
        .stream(u"\u0005SummaryInformation",
                propertySet(kFmtidSummaryInformation, {i2(1, 1252), lpstr(2, "Large"), lpstr(4, "Bench"),
                                                       filetime(12, ticksOf(1'700'000'000)), i4(14, 5000)}))
        .stream(u"\u0005DocumentSummaryInformation",
                propertySet(kFmtidDocSummaryInformation, {i2(1, 1252), lpstr(15, "Corvane"), i4(23, 0x00100000)}));
    const auto parts = builder.buildSparse();
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool ok = fd >= 0 && ftruncate(fd, off_t(parts.size())) == 0
        && pwrite(fd, parts.head.data(), parts.head.size(), 0) == ssize_t(parts.head.size())
        && pwrite(fd, parts.body.data(), parts.body.size(), off_t(parts.bodyAt)) == ssize_t(parts.body.size());
    if (fd >= 0)
        close(fd);
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--make-large")
        return makeLarge(argv[2]);
    // The RTF reader is asked directly.
    const bool rtf = argc > 1 && std::string(argv[1]) == "--rtf";
    if (rtf) {
        --argc;
        ++argv;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s N FILE...\n", argv[0]);
        return 2;
    }
    const long rounds = std::strtol(argv[1], nullptr, 10);
    const auto before = readCounters();
    unsigned long long sourceBytes = 0, opened = 0;
    const auto start = std::chrono::steady_clock::now();
    for (long round = 0; round < rounds; ++round) {
        for (int i = 2; i < argc; ++i) {
            const auto source = tallyglass::FileSource::open(argv[i]);
            if (!source)
                continue;
            if (rtf) {
                opened += tallyglass::ReadRtfDocument(*source).opened ? 1 : 0;
            } else {
                const auto values = tallyglass::ReadDocumentSummary(*source);
                opened += values ? 1 : 0;
            }
            sourceBytes += source->bytesRead();
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto after = readCounters();
    const double reads = double(rounds) * (argc - 2);
    std::printf("files=%d rounds=%ld read_ok=%llu seconds=%.3f us_per_file=%.1f bytes_per_file=%.0f "
                "rchar=%llu read_bytes=%llu\n",
                argc - 2, rounds, opened, seconds, seconds * 1e6 / reads, double(sourceBytes) / reads,
                after.first - before.first, after.second - before.second);
    return 0;
}
