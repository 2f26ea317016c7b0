// Why a package gives no or fewer values, document type declarations refused, ODF templates,
// flat ODF files, and the custom properties of real packages.
#include "package/PackageBuilder.h"

#include "ByteSource.h"
#include "docprops/DocumentReader.h"

#include <gtest/gtest.h>

#include <zip.h>

using namespace tallyglass;
using namespace tallyglass::testing;

namespace {

DocumentProperties readEntries(const std::vector<Entry>& entries)
{
    const auto bytes = BuildZip(entries);
    return ReadDocument(MemorySource(bytes));
}

DocumentProperties readText(const std::string& text)
{
    return ReadDocument(MemorySource(std::as_bytes(std::span(text))));
}

std::vector<std::string> reasonsOf(const DocumentProperties& properties)
{
    std::vector<std::string> texts;
    for (const Diagnostic& d : properties.diagnostics)
        texts.push_back(DiagnosticText(d));
    return texts;
}

const std::string kEntityBomb =
    R"(<!DOCTYPE lolz [<!ENTITY lol "lol"><!ENTITY lol9 "&lol;&lol;&lol;"><!ENTITY xxe SYSTEM "file:///etc/passwd">]>)";

TEST(PackageMends, APartWithADocumentTypeDeclarationIsDamagedAndNothingExpanded)
{
    // The declaration goes after the XML declaration of each part.
    const auto withDoctype = [](std::string part) {
        return part.insert(part.find("?>") + 2, kEntityBomb);
    };
    const auto ooxml = readEntries(OoxmlEntries(withDoctype(CorePart("<dc:title>&lol9;</dc:title>")),
                                                AppPart("<Company>Acme</Company>")));
    EXPECT_TRUE(ooxml.opened);
    EXPECT_FALSE(ooxml.has(FieldId::Title));
    EXPECT_EQ(ooxml.get(FieldId::Company), PropertyValue(std::string("Acme"))) << "the other part is read";
    EXPECT_EQ(reasonsOf(ooxml), std::vector<std::string>{
                                    "damaged: part docProps/core.xml carries a document type declaration; it is not read"});

    const auto odf = readEntries(OdfEntries(withDoctype(MetaPart("<dc:title>&xxe;</dc:title>"))));
    EXPECT_TRUE(odf.opened);
    EXPECT_FALSE(odf.has(FieldId::Title));
    EXPECT_EQ(reasonsOf(odf), std::vector<std::string>{
                                  "damaged: part meta.xml carries a document type declaration; it is not read"});
}

TEST(PackageMends, EachReasonAPackageGives)
{
    std::vector<Entry> big = OoxmlEntries(CorePart("<dc:title>" + std::string(2 << 20, 'x') + "</dc:title>"), "");
    auto cut = BuildZip(OoxmlEntries(CorePart(""), ""));
    cut.resize(cut.size() - 10);
    const struct {
        const char* what;
        DocumentProperties properties;
        DiagnosticKind kind;
        std::string detail;
    } cases[] = {
        {"plain archive", readEntries({{"readme.txt", "hello"}}), DiagnosticKind::NotADocument,
         "a zip archive with no office document parts"},
        {"over cap", readEntries(big), DiagnosticKind::OverCap, "part docProps/core.xml: it declares"},
        {"cut short", ReadDocument(MemorySource(cut)), DiagnosticKind::Damaged, "the zip archive cannot be followed"},
        {"malformed", readEntries(OoxmlEntries(CorePart("<dc:title>open"), "")), DiagnosticKind::Damaged,
         "part docProps/core.xml is not well-formed XML"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(c.properties.diagnostics.size(), 1u) << c.what;
        EXPECT_EQ(c.properties.diagnostics[0].kind, c.kind) << c.what;
        EXPECT_EQ(c.properties.diagnostics[0].detail.rfind(c.detail, 0), 0u)
            << c.what << ": " << c.properties.diagnostics[0].detail;
    }
}

TEST(PackageMends, AnEncryptedPartSaysWithWhat)
{
    std::vector<Entry> entries = OoxmlEntries(CorePart("<dc:title>Secret</dc:title>"), "");
    entries.back().password = "secret";
    std::vector<std::byte> bytes;
    try {
        bytes = BuildZip(entries);
    } catch (const std::exception&) {
        GTEST_SKIP() << "this libzip cannot write encrypted entries";
    }
    const DocumentProperties properties = ReadDocument(MemorySource(bytes));
    EXPECT_FALSE(properties.has(FieldId::Title));
    EXPECT_EQ(reasonsOf(properties), std::vector<std::string>{
                                         "encrypted: part docProps/core.xml: with traditional PKWARE encryption"});
}

TEST(PackageMends, TheTemplateShowsItsTitleOrTheFileNameOfItsLink)
{
    const struct {
        std::string attributes, shown;
    } cases[] = {
        {R"(xlink:href="" xlink:title="Normal.dotm")", "Normal.dotm"},
        {R"(xlink:href="file:///home/ann/Baseline%20Template.ott")", "Baseline Template.ott"},
        {R"(xlink:href="../Templates/Letter%C3%A9.ott" xlink:title="  ")", "Letter\xC3\xA9.ott"},
        {R"(xlink:href="Plain.ott" xlink:title="Plain letter")", "Plain letter"},
        {R"(xlink:href="")", ""},
    };
    for (const auto& c : cases) {
        const auto values = ReadPackageBytes(OdfEntries(MetaPart("<meta:template " + c.attributes + "/>")));
        ASSERT_TRUE(values);
        EXPECT_EQ(values->Template, c.shown) << c.attributes;
    }
}

const std::string kFlatOdt =
    R"(<?xml version="1.0" encoding="UTF-8"?>)"
    R"(<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
    R"(xmlns:meta="urn:oasis:names:tc:opendocument:xmlns:meta:1.0" xmlns:dc="http://purl.org/dc/elements/1.1/" )"
    R"(office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.text">)"
    R"(<office:meta><dc:title>Flat</dc:title><meta:initial-creator>Ann</meta:initial-creator>)"
    R"(<meta:document-statistic meta:page-count="2"/><meta:user-defined meta:name="Ref">A-1</meta:user-defined>)"
    R"(</office:meta><office:body><office:text/></office:body></office:document>)";

TEST(PackageMends, AFlatOdfFileIsReadByContent)
{
    const DocumentProperties flat = readText(kFlatOdt);
    EXPECT_TRUE(flat.opened);
    EXPECT_EQ(flat.format, "odf");
    EXPECT_EQ(flat.get(FieldId::Title), PropertyValue(std::string("Flat")));
    EXPECT_EQ(flat.get(FieldId::Author), PropertyValue(std::string("Ann")));
    EXPECT_EQ(flat.get(FieldId::PageCount), PropertyValue(std::int32_t(2)));
    EXPECT_EQ(flat.custom, (std::vector<CustomProperty>{{"Ref", std::string("A-1")}}));
    EXPECT_TRUE(flat.diagnostics.empty());

    // Another root in the office namespace, or other XML, is no document; a declaration refuses it.
    std::string other = kFlatOdt;
    other.replace(other.find("<office:document "), 17, "<office:document-content ");
    EXPECT_FALSE(readText(other).opened);
    EXPECT_FALSE(readText("<?xml version=\"1.0\"?><html/>").opened);
    std::string declared = kFlatOdt;
    declared.insert(declared.find("?>") + 2, kEntityBomb);
    const DocumentProperties refused = readText(declared);
    EXPECT_FALSE(refused.has(FieldId::Title));
    ASSERT_EQ(refused.diagnostics.size(), 1u);
    EXPECT_EQ(refused.diagnostics[0].kind, DiagnosticKind::Damaged);
}

TEST(PackageMends, AHugeFlatFileIsReadOnlyAsFarAsItsMetadata)
{
    // The body far past the cap: the metadata before it is read, the rest never parsed.
    std::string huge = kFlatOdt;
    huge.insert(huge.find("<office:text/>"), "<text:p>" + std::string(3 << 20, 'x') + "</text:p>");
    const MemorySource source(std::as_bytes(std::span(huge)));
    const DocumentProperties properties = ReadDocument(source);
    EXPECT_EQ(properties.get(FieldId::Title), PropertyValue(std::string("Flat")));
    EXPECT_LT(source.bytesRead(), 1'100'000u * 2);

    // Metadata that does not end within the cap is not trusted.
    std::string endless = kFlatOdt;
    endless.insert(endless.find("</office:meta>"), "<dc:subject>" + std::string(2 << 20, 'x') + "</dc:subject>");
    const DocumentProperties cut = readText(endless);
    EXPECT_FALSE(cut.has(FieldId::Title));
    ASSERT_EQ(cut.diagnostics.size(), 1u);
    EXPECT_EQ(cut.diagnostics[0].kind, DiagnosticKind::OverCap);
}

TEST(PackageMends, CustomPropertiesAreCappedInCount)
{
    std::string many;
    for (int i = 0; i < 1005; ++i)
        many += R"(<meta:user-defined meta:name="n)" + std::to_string(i) + R"(" meta:value-type="float">)" +
                std::to_string(i) + "</meta:user-defined>";
    const DocumentProperties properties = readEntries(OdfEntries(MetaPart(many)));
    ASSERT_EQ(properties.custom.size(), 1000u);
    EXPECT_EQ(properties.custom.back(), (CustomProperty{"n999", 999.0}));
    ASSERT_EQ(properties.diagnostics.size(), 1u);
    EXPECT_EQ(properties.diagnostics[0].kind, DiagnosticKind::OverCap);
}

DocumentProperties readFile(const std::string& relative)
{
    const auto source = FileSource::open(std::string(TALLYGLASS_TEST_DATA) + "/" + relative);
    return source ? ReadDocument(*source) : DocumentProperties{};
}

// Real packages, against their custom parts as the files hold them (in document order).
TEST(PackageMends, CustomPropertiesOfRealPackages)
{
    const DocumentProperties docx = readFile("ooxml/testWORD_various.docx");
    EXPECT_EQ(docx.custom, (std::vector<CustomProperty>{
                               {"AppVersion", std::string("12.0000")},
                               {"DocSecurity", std::int64_t(4)},
                               {"HyperlinksChanged", false},
                               {"LinksUpToDate", false},
                               {"ScaleCrop", false},
                               {"ShareDoc", false},
                           }));
    const DocumentProperties odt = readFile("odf/testODFwithOOo3.odt");
    EXPECT_EQ(odt.custom, (std::vector<CustomProperty>{
                              {"Editor", std::string("Bart Hanssens")},
                              {"Info 2", std::string()},
                              {"Info 3", std::string()},
                              {"Info 4", std::string()},
                          }));
    EXPECT_TRUE(docx.diagnostics.empty());
    EXPECT_TRUE(odt.diagnostics.empty());
}

} // namespace
