// The document-properties component on package files on disk.

#include "package/PackageBuilder.h"

#include "docprops/DocumentReader.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

using namespace tallyglass;
using namespace tallyglass::testing;

namespace {

class TempFile {
public:
    explicit TempFile(const std::vector<std::byte>& bytes)
        : m_path(std::filesystem::temp_directory_path() /
                 ("tallyglass-package-" + std::to_string(::getpid()) + "-" + std::to_string(s_count++)))
    {
        std::ofstream out(m_path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    ~TempFile() { std::filesystem::remove(m_path); }
    std::string path() const { return m_path.string(); }

private:
    static inline int s_count = 0;
    std::filesystem::path m_path;
};

} // namespace

TEST(PackageComponent, OpensAPackageAndHandsOutItsSummary)
{
    // The file has no extension: the content decides.
    const TempFile file(BuildZip(OoxmlEntries(CorePart("<dc:title>On disk</dc:title>"),
                                              AppPart("<Pages>4</Pages><SharedDoc>true</SharedDoc>"))));
    const auto component = CreateDocumentPropertiesComponent();
    ASSERT_TRUE(component->OpenFile(file.path(), 0, 2));
    const auto summary = component->GetSummary();
    ASSERT_TRUE(summary);
    std::string title;
    std::int32_t pages = 0;
    bool shared = false;
    OleDate created = Seconds{};
    EXPECT_TRUE(summary->Title(title));
    EXPECT_TRUE(summary->PageCount(pages));
    EXPECT_TRUE(summary->Shared(shared));
    EXPECT_TRUE(summary->DateCreated(created));
    EXPECT_EQ(title, "On disk");
    EXPECT_EQ(pages, 4);
    EXPECT_TRUE(shared);
    EXPECT_EQ(created, std::nullopt);
}

TEST(PackageComponent, ZipFilesThatAreNoDocumentsFailToOpen)
{
    OfficePropertiesComponent component;
    const TempFile odt(BuildZip(OdfEntries(MetaPart("<dc:title>First</dc:title>"))));
    ASSERT_TRUE(component.OpenFile(odt.path(), 0, 2));
    ASSERT_TRUE(component.GetSummary());

    // A plain archive afterwards: the open fails and the earlier summary is gone with it.
    const TempFile archive(BuildZip({{"readme.txt", "hello"}}));
    EXPECT_FALSE(component.OpenFile(archive.path(), 0, 2));
    EXPECT_FALSE(component.GetSummary());

    auto truncated = BuildZip(OoxmlEntries(CorePart(""), ""));
    truncated.resize(truncated.size() - 10);
    const TempFile cut(truncated);
    EXPECT_FALSE(component.OpenFile(cut.path(), 0, 2));
}
