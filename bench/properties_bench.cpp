// Reads the document properties of the given files N times each and prints the time per file
// and what the process read (/proc/self/io), so bench/properties.sh can set it against a
// peer reader. Usage: properties_bench [--per-file] N FILE...   or
// properties_bench --make-large PATH   or   properties_bench --make-large-pdf PATH
#include "compound/CompoundFileBuilder.h"
#include "docprops/DocumentReader.h"
#include "docprops/pdf/PdfDocument.h"
#include "pdf/PdfBuilder.h"

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

// A sparse PDF of 1 GiB: three pages and an Info dictionary at the start, the cross-reference
// table at the end, NULs (white space to a PDF reader) between.
int makeLargePdf(const char* path)
{
    using namespace tallyglass::testing;
    constexpr std::uint64_t size = 1ULL << 30;
    PdfFile file;
    file.objects = {Catalog(), "<< /Type /Pages /Kids [4 0 R 5 0 R 6 0 R] /Count 3 >>",
                    "<< /Title (Large) /Author (Bench) /CreationDate (D:20240101000000Z) >>", kPage, kPage, kPage};
    const std::string head = file.head();
    std::string tail = file.tail(head.size());
    while (head.size() + file.padding + tail.size() != size) {
        file.padding = size - head.size() - tail.size();
        tail = file.tail(head.size());
    }
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool ok = fd >= 0 && ftruncate(fd, off_t(size)) == 0
        && pwrite(fd, head.data(), head.size(), 0) == ssize_t(head.size())
        && pwrite(fd, tail.data(), tail.size(), off_t(size - tail.size())) == ssize_t(tail.size());
    if (fd >= 0)
        close(fd);
    return ok ? 0 : 1;
}

// One read of a file's properties by the reader of its kind; true when it was opened.
bool readOnce(const tallyglass::ByteSource& source)
{
    return tallyglass::ReadDocument(source).opened;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--make-large")
        return makeLarge(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--make-large-pdf")
        return makeLargePdf(argv[2]);
    // --per-file: one line per file (time and bytes of that file alone), then the total.
    const bool perFile = argc > 1 && std::string(argv[1]) == "--per-file";
    if (perFile) {
        --argc;
        ++argv;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s [--per-file] N FILE...\n", argv[0]);
        return 2;
    }
    const long rounds = std::strtol(argv[1], nullptr, 10);
    if (perFile) {
        for (int i = 2; i < argc; ++i) {
            unsigned long long bytes = 0;
            const auto start = std::chrono::steady_clock::now();
            for (long round = 0; round < rounds; ++round) {
                const auto source = tallyglass::FileSource::open(argv[i]);
                if (!source)
                    break;
                readOnce(*source);
                bytes += source->bytesRead();
            }
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::printf("file=%s us_per_file=%.1f bytes_per_file=%.0f\n", argv[i], seconds * 1e6 / double(rounds),
                        double(bytes) / double(rounds));
        }
    }
    const auto before = readCounters();
    unsigned long long sourceBytes = 0, opened = 0;
    const auto start = std::chrono::steady_clock::now();
    for (long round = 0; round < rounds; ++round) {
        for (int i = 2; i < argc; ++i) {
            const auto source = tallyglass::FileSource::open(argv[i]);
            if (!source)
                continue;
            opened += readOnce(*source) ? 1 : 0;
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
