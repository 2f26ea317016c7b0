// Damaged and hostile packages: each fails to open or loses the damaged part, never more, and
// nothing is read or inflated beyond the caps.

#include "package/PackageBuilder.h"

#include "ByteSource.h"
#include "docprops/DocumentReader.h"
#include "docprops/package/ZipPackage.h"

#include <gtest/gtest.h>

#include <random>

using namespace tallyglass;
using namespace tallyglass::testing;

namespace {

const std::string kCore = CorePart("<dc:title>Title</dc:title>");
const std::string kApp = AppPart("<Application>Writer</Application>");

std::optional<SummaryValues> read(const std::vector<std::byte>& bytes)
{
    return ReadDocumentSummary(MemorySource(bytes));
}

// Core properties first, so that their data start right after the first local header.
std::vector<Entry> coreFirst()
{
    auto entries = OoxmlEntries(kCore, kApp);
    std::rotate(entries.begin(), entries.begin() + 3, entries.begin() + 4);
    return entries;
}

std::size_t endOfCentralDirectory(const std::vector<std::byte>& bytes)
{
    return Find(bytes, std::string_view("PK\5\6", 4));
}

} // namespace

TEST(HostilePackage, PartSizeIsCappedDeclaredAndInflated)
{
    constexpr std::size_t cap = ZipPackage::kMaxPartBytes;
    const auto bytes = BuildZip({{"exact.xml", std::string(cap, 'a')},
                                 {"over.xml", std::string(cap + 1, 'a')},
                                 {"bomb.xml", std::string(8 * cap, 'a')}});
    auto patched = bytes;
    DeclareSize(patched, "bomb.xml", 100); // claims to be small, inflates to 8 MiB
    const MemorySource source(patched);
    const auto package = ZipPackage::open(source);
    ASSERT_TRUE(package);
    const auto exact = package->readPart("exact.xml");
    ASSERT_TRUE(exact);
    EXPECT_EQ(exact->size(), cap);
    EXPECT_FALSE(package->readPart("over.xml"));
    EXPECT_FALSE(package->readPart("bomb.xml"));
    EXPECT_FALSE(package->readPart("absent.xml"));
}

TEST(HostilePackage, HugeDeclaredSizeLosesOnlyThatPart)
{
    auto bytes = BuildZip(OoxmlEntries(kCore, kApp));
    DeclareSize(bytes, "docProps/core.xml", 0xFFFFFFF0u);
    const auto values = read(bytes);
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title, "");
    EXPECT_EQ(values->AppName, "Writer");
}

TEST(HostilePackage, EncryptedPartIsNotRead)
{
    if (!zip_encryption_method_supported(ZIP_EM_TRAD_PKWARE, 1))
        GTEST_SKIP() << "this libzip cannot write encrypted entries";
    auto entries = OoxmlEntries(kCore, kApp);
    entries[3].password = "secret";
    const auto values = read(BuildZip(entries));
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title, "");
    EXPECT_EQ(values->AppName, "Writer");
}

TEST(HostilePackage, CorruptDeflateStreamLosesOnlyThatPart)
{
    const auto good = BuildZip(coreFirst());
    const EntryRecords core = Locate(good, "docProps/core.xml");
    const std::size_t compressed = ReadLe(good, core.central + 20, 4);
    ASSERT_GT(compressed, 4u);

    auto garbage = good; // block type 3 does not exist
    for (std::size_t i = 0; i < compressed; ++i)
        garbage[core.data + i] = std::byte{0xFF};
    const auto values = read(garbage);
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title, "");
    EXPECT_EQ(values->AppName, "Writer");

    // A single damaged byte anywhere in the stream: the inflater or the CRC notices.
    for (std::size_t i = 0; i < compressed; ++i) {
        auto flipped = good;
        flipped[core.data + i] ^= std::byte{0x5A};
        const auto damaged = read(flipped);
        ASSERT_TRUE(damaged) << i;
        EXPECT_EQ(damaged->Title, "") << i;
        EXPECT_EQ(damaged->AppName, "Writer") << i;
    }
}

TEST(HostilePackage, TruncatedFilesNeverOpenHalfway)
{
    const auto good = BuildZip(OoxmlEntries(kCore, kApp));
    ASSERT_TRUE(read(good));
    // Cut anywhere: the end record is gone, so nothing opens.
    for (std::size_t length = 4; length < good.size(); ++length) {
        const std::vector<std::byte> cut(good.begin(), good.begin() + std::ptrdiff_t(length));
        EXPECT_FALSE(read(cut)) << length;
    }
    // The end record intact but the directory it points to cut short or out of the file.
    auto shortDirectory = good;
    const std::size_t end = endOfCentralDirectory(shortDirectory);
    WriteLe(shortDirectory, end + 12, ReadLe(good, end + 12, 4) + 1000, 4);
    EXPECT_FALSE(read(shortDirectory));
    auto farDirectory = good;
    WriteLe(farDirectory, end + 16, 0xFFFFFF00u, 4);
    EXPECT_FALSE(read(farDirectory));
}

TEST(HostilePackage, EntryCountIsCapped)
{
    // Thousands of entries are a document still; its properties come after all of them.
    std::vector<Entry> many;
    for (int i = 0; i < 3000; ++i)
        many.push_back({"media/image" + std::to_string(i) + ".png", "", false});
    for (Entry& entry : OoxmlEntries(kCore, kApp))
        many.push_back(entry);
    const auto values = read(BuildZip(many));
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title, "Title");

    std::vector<Entry> tooMany = OoxmlEntries(kCore, kApp);
    for (std::uint64_t i = 0; i < ZipPackage::kMaxEntries; ++i)
        tooMany.push_back({std::to_string(i), "", false});
    EXPECT_FALSE(read(BuildZip(tooMany)));

    // A small archive whose end record claims a long directory.
    auto claims = BuildZip(OoxmlEntries(kCore, kApp));
    const std::size_t end = endOfCentralDirectory(claims);
    WriteLe(claims, end + 8, 60000, 2);
    WriteLe(claims, end + 10, 60000, 2);
    EXPECT_FALSE(read(claims));
}

TEST(HostilePackage, OnlyTheNeededBytesAreRead)
{
    // Four megabytes of incompressible media stored before the properties parts.
    std::string media(4 * 1024 * 1024, '\0');
    std::mt19937 random(7);
    for (char& c : media)
        c = char(random());
    std::vector<Entry> entries = {{"ppt/media/video.bin", media, false}};
    for (Entry& entry : OoxmlEntries(kCore, kApp))
        entries.push_back(entry);
    const auto bytes = BuildZip(entries);
    const MemorySource source(bytes);
    const auto values = ReadDocumentSummary(source);
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title, "Title");
    EXPECT_LT(source.bytesRead(), 200'000u);
}

TEST(HostilePackage, DeepAndWideXmlIsHarmless)
{
    std::string deep;
    for (int i = 0; i < 50'000; ++i)
        deep += "<a>";
    for (int i = 0; i < 50'000; ++i)
        deep += "</a>";
    std::string wide;
    for (int i = 0; i < 5'000; ++i)
        wide += R"(<dc:title xmlns:x="urn:x">t</dc:title>)";
    const auto values = read(BuildZip(OoxmlEntries(CorePart(deep + wide), AppPart(deep))));
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Title, "t");

    std::string unclosed;
    for (int i = 0; i < 300'000; ++i)
        unclosed += "<a>";
    const auto broken = read(BuildZip(OoxmlEntries(CorePart(unclosed), kApp)));
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->Title, "");
    EXPECT_EQ(broken->AppName, "Writer");
}
