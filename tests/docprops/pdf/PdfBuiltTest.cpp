// Hand-built PDFs for what real files rarely show: Info and XMP side by side, every string
// encoding, odd dates, lying page counts, loops, encryption and damage.

#include "pdf/PdfBuilder.h"

#include <gtest/gtest.h>

using namespace tallyglass;
using namespace tallyglass::testing;

namespace {

const std::string kFolder = std::string(TALLYGLASS_TEST_DATA) + "/pdf/";

std::string Xmp(const std::string& description)
{
    return "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
           "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
        + description + "</rdf:RDF></x:xmpmeta>\n<?xpacket end=\"w\"?>";
}

// The XMP of a writer that puts every value in it, some as elements, some as attributes, and
// binds the schemas to prefixes of its own.
const std::string kFullXmp = Xmp(
    "<rdf:Description rdf:about=\"\" xmlns:d=\"http://purl.org/dc/elements/1.1/\""
    " xmlns:t=\"http://ns.adobe.com/xap/1.0/\" xmlns:p=\"http://ns.adobe.com/pdf/1.3/\""
    " t:CreatorTool=\"XMP Tool\" p:Producer=\"XMP Producer\" t:CreateDate=\"2020-02-03T04:05:06+02:00\">"
    "<d:title><rdf:Alt><rdf:li xml:lang=\"de\">Titel</rdf:li><rdf:li xml:lang=\"x-default\">XMP title</rdf:li></rdf:Alt></d:title>"
    "<d:creator><rdf:Seq><rdf:li>Ada</rdf:li><rdf:li>Grace</rdf:li></rdf:Seq></d:creator>"
    "<d:description><rdf:Alt><rdf:li xml:lang=\"x-default\">XMP subject</rdf:li></rdf:Alt></d:description>"
    "<p:Keywords>  xmp, words </p:Keywords>"
    "<t:ModifyDate>2020-02-03T10:00:00</t:ModifyDate>"
    "</rdf:Description>");

} // namespace

TEST(PdfBuilt, InfoWinsOverXmpAndXmpFillsWhatInfoLacks)
{
    auto file = WithInfo("<< /Title (Info title) /Producer (Info Producer) /ModDate (D:20210101120000Z) >>",
                         {Stream(kFullXmp)}, 5);
    const auto read = ReadPdfBytes(file.bytes());
    EXPECT_EQ(Text(read, FieldId::Title), "Info title");
    EXPECT_EQ(Text(read, FieldId::Author), "Ada; Grace");
    EXPECT_EQ(Text(read, FieldId::Subject), "XMP subject");
    EXPECT_EQ(Text(read, FieldId::Keywords), "xmp, words");
    // The XMP creator tool names the application; Info's producer only made the PDF.
    EXPECT_EQ(Text(read, FieldId::AppName), "XMP Tool");
    EXPECT_EQ(Text(read, FieldId::DateCreated), "02/03/2020 02:05:06");
    EXPECT_EQ(Text(read, FieldId::DateLastSaved), "01/01/2021 12:00:00");
    ASSERT_TRUE(Custom(read, "Producer"));
    EXPECT_EQ(std::get<std::string>(Custom(read, "Producer")->value), "Info Producer");
    EXPECT_EQ(Text(read, FieldId::PageCount), "1");
    EXPECT_EQ(Reasons(read), "");
}

TEST(PdfBuilt, XmpOnly)
{
    auto file = WithInfo("<< >>", {Stream(kFullXmp)}, 5);
    file.trailer = "/Root 1 0 R";
    const auto read = ReadPdfBytes(file.bytes());
    EXPECT_EQ(Text(read, FieldId::Title), "XMP title");
    EXPECT_EQ(Text(read, FieldId::Author), "Ada; Grace");
    EXPECT_EQ(Text(read, FieldId::AppName), "XMP Tool");
    const auto& modified = std::get<DocumentDate>(read.get(FieldId::DateLastSaved));
    EXPECT_EQ(modified.zone, DateZone::AssumedLocal);
    EXPECT_EQ(DateText(modified.when), "02/03/2020 10:00:00");
    EXPECT_EQ(std::get<DocumentDate>(read.get(FieldId::DateCreated)).zone, DateZone::Given);
    ASSERT_EQ(read.custom.size(), 1u);
    EXPECT_EQ(read.custom[0], (CustomProperty{"Producer", std::string("XMP Producer")}));
    // Only what a PDF can hold is filled: the other 21 fields show nothing, not 0 or False.
    EXPECT_EQ(FilledCount(read), 8u);
    EXPECT_EQ(read.absent, AbsentForm::Blank);
}

TEST(PdfBuilt, XmpThatDeclaresADocumentTypeIsRefused)
{
    const std::string xmp = "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY big \"boom\">]>" + Xmp(
        "<rdf:Description xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>&big;</dc:title></rdf:Description>");
    const auto read = ReadPdfBytes(WithInfo("<< /Author (Info author) >>", {Stream(xmp)}, 5).bytes());
    EXPECT_EQ(Text(read, FieldId::Title), "");
    EXPECT_EQ(Text(read, FieldId::Author), "Info author");
    EXPECT_EQ(Reasons(read), "damaged: the XMP metadata declares a document type; it is not read\n");
}

TEST(PdfBuilt, StringEncodings)
{
    struct Case {
        const char* what;
        std::string stored; // the token as the Info dictionary holds it
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"PDFDocEncoding, its own characters above 0x7F", Hex("Caf\xE9 \x80 \x84 \x92 \xA0"), "Café • — ™ €"},
        {"PDFDocEncoding, codes that mean nothing", Hex("a\x7F" "b\x9F" "c\xAD"), "a\uFFFDb\uFFFDc\uFFFD"},
        {"PDFDocEncoding, trailing NULs dropped", Hex(std::string("pad\0\0", 5)), "pad"},
        {"UTF-16BE with a surrogate pair and a language escape",
         Hex(std::string("\xFE\xFF\0\x1B" "\0e\0n\0\x1B\0H\0i\xD8\x3D\xDE\x00", 18)), "Hi😀"},
        {"UTF-16BE, a lone surrogate and an odd byte", Hex(std::string("\xFE\xFF\xD8\x00\0A\0", 7)), "\uFFFDA\uFFFD"},
        {"UTF-16BE, trailing NUL", Hex(std::string("\xFE\xFF\0O\0K\0\0", 8)), "OK"},
        {"UTF-8 with its mark, a broken sequence", Hex("\xEF\xBB\xBFgr\xC3\xBC\xC3 \xE2\x82\xAC"), "grü\uFFFD €"},
        {"UTF-8 with its mark, an overlong form", Hex("\xEF\xBB\xBF\xC0\xAFx"), "\uFFFD\uFFFDx"},
        {"literal string with escapes", "(a\\(b\\) \\101)", "a(b) A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto read = ReadPdfBytes(WithInfo("<< /Title " + c.stored + " >>").bytes());
        EXPECT_EQ(Text(read, FieldId::Title), c.shown);
    }
}

TEST(PdfBuilt, LongStringIsCutAtACharacterBoundary)
{
    std::string utf16 = "\xFE\xFF";
    for (int i = 0; i < 30000; ++i)
        utf16 += "\x20\xAC"; // the euro sign, three bytes in UTF-8
    const auto read = ReadPdfBytes(WithInfo("<< /Title " + Hex(utf16) + " >>").bytes());
    const auto title = Text(read, FieldId::Title);
    EXPECT_EQ(title.size(), 65535u); // 21,845 whole characters: the next would pass 64 KiB
    EXPECT_EQ(title.substr(title.size() - 3), "€");
}

TEST(PdfBuilt, Dates)
{
    struct Case {
        std::string stored;
        std::string shown;
        DateZone zone;
    };
    const std::vector<Case> cases = {
        {"(D:20240229235959-05'30')", "03/01/2024 05:29:59", DateZone::Given},
        {"(D:20240102030405+01'00)", "01/02/2024 02:04:05", DateZone::Given},
        {"(D:20220528103126Z00'00')", "05/28/2022 10:31:26", DateZone::Given},
        {"(20240102)", "01/02/2024", DateZone::AssumedLocal},
        {"(D:2024)", "01/01/2024", DateZone::AssumedLocal},
        // Without a zone a date is local time; the tests run in UTC.
        {"(D:20210409192208)", "04/09/2021 19:22:08", DateZone::AssumedLocal},
        {Hex(std::string("\xFE\xFF\0D\0:\0002\0000\0001\0009\0001\0002\0003\0001", 22)), "12/31/2019", DateZone::AssumedLocal},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        const auto read = ReadPdfBytes(WithInfo("<< /CreationDate " + c.stored + " >>").bytes());
        ASSERT_TRUE(std::holds_alternative<DocumentDate>(read.get(FieldId::DateCreated)));
        EXPECT_EQ(Text(read, FieldId::DateCreated), c.shown);
        EXPECT_EQ(std::get<DocumentDate>(read.get(FieldId::DateCreated)).zone, c.zone);
    }
}

TEST(PdfBuilt, InvalidDateLeavesOnlyItsFieldEmpty)
{
    for (const char* stored : {"(D:20230230120000Z)", "(D:20231301)", "(D:202301011261)", "(D:2023010112+25'00')",
                               "(D:20230101120000 junk)", "(D:2023010)", "(yesterday)", "false", "20230101"}) {
        SCOPED_TRACE(stored);
        const auto read = ReadPdfBytes(
            WithInfo(std::string("<< /Title (Kept) /CreationDate ") + stored + " /ModDate (D:20230101) >>").bytes());
        EXPECT_EQ(Text(read, FieldId::DateCreated), "");
        EXPECT_EQ(Text(read, FieldId::DateLastSaved), "01/01/2023");
        EXPECT_EQ(Text(read, FieldId::Title), "Kept");
        EXPECT_EQ(Reasons(read), "damaged: CreationDate is not a date\n");
    }
}

TEST(PdfBuilt, OtherInfoKeysBecomeCustomProperties)
{
    const auto read = ReadPdfBytes(WithInfo("<< /Title (T) /Producer (P) /Trapped /False /Pages 12 /Ratio 0.5"
                                            " /Signed true /Company (Corvane) /Odd#20Name (x) /List [1 2] >>")
                                       .bytes());
    const std::vector<CustomProperty> expected = {
        {"Company", std::string("Corvane")}, {"Odd Name", std::string("x")}, {"Pages", std::int64_t(12)},
        {"Producer", std::string("P")},      {"Ratio", 0.5},                 {"Signed", true},
        {"Trapped", std::string("False")},
    };
    EXPECT_EQ(read.custom, expected);
    EXPECT_EQ(Text(read, FieldId::AppName), "P");
}

TEST(PdfBuilt, PageCountWalksTheTreeAndFallsBackOnItsCount)
{
    struct Case {
        const char* what;
        std::string pages; // object 2
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"count lies, tree holds one page", "<< /Type /Pages /Kids [4 0 R] /Count 9999999999 >>", "1"},
        {"nested nodes", "<< /Type /Pages /Kids [5 0 R 4 0 R] /Count 3 >>", "3"},
        {"tree loops back to its root", "<< /Type /Pages /Kids [4 0 R 2 0 R 6 0 R] /Count 2 >>", "2"},
        {"kids unreadable, count stands in", "<< /Type /Pages /Kids [9 0 R] /Count 7 >>", "7"},
        {"kids unreadable, count negative", "<< /Type /Pages /Kids [9 0 R] /Count -1 >>", ""},
        {"kids unreadable, count past 32 bits", "<< /Type /Pages /Kids [9 0 R] /Count 4294967296 >>", ""},
        {"kids unreadable, count 2^31 - 1", "<< /Type /Pages /Kids [9 0 R] /Count 2147483647 >>", "2147483647"},
        {"no kids at all, no count", "<< /Type /Pages >>", ""},
        {"an empty tree", "<< /Type /Pages /Kids [] /Count 0 >>", "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PdfFile file;
        file.objects = {Catalog(), c.pages, "<< /Title (t) >>", kPage,
                        "<< /Type /Pages /Parent 2 0 R /Kids [6 0 R 7 0 R] /Count 2 >>", kPage, kPage};
        EXPECT_EQ(Text(ReadPdfBytes(file.bytes()), FieldId::PageCount), c.shown);
    }
}

TEST(PdfBuilt, PageTreeOverItsNodeCapUsesTheCount)
{
    // One node whose kids are 100,001 references to one page: every visit counts. A slow
    // machine may take longer than the time cap for this, so the deadline is the test's own.
    std::string kids;
    for (int i = 0; i <= 100'000; ++i)
        kids += "4 0 R ";
    PdfFile file = WithInfo("<< /Title (Many) >>");
    file.objects[1] = "<< /Type /Pages /Kids [" + kids + "] /Count 100001 >>";
    const std::string bytes = file.bytes();
    const auto read = ReadPdfObjectsUntimed(MemorySource(std::as_bytes(std::span(bytes.data(), bytes.size()))));
    EXPECT_EQ(read.pages, 100001);
    ASSERT_FALSE(read.notes.empty());
    EXPECT_EQ(read.notes.back().detail, "the page tree has more than 100,000 nodes and was not walked to its end");
}

TEST(PdfBuilt, PrevLoopEndsCleanly)
{
    // The trailer's /Prev points back at its own table; the file is still read.
    auto file = WithInfo("<< /Title (Looped) >>");
    const std::string head = file.head();
    file.trailer += " /Prev " + std::to_string(head.size());
    const auto read = ReadPdfBytes(file.bytes());
    EXPECT_EQ(Text(read, FieldId::Title), "Looped");
    EXPECT_EQ(Text(read, FieldId::PageCount), "1");
}

TEST(PdfBuilt, Encryption)
{
    const auto owner = FileSource::open(kFolder + "built-owner-password.pdf");
    ASSERT_TRUE(owner);
    const auto open = ReadPdfDocument(*owner);
    EXPECT_EQ(Text(open, FieldId::Title), "Sealed report");
    EXPECT_EQ(Text(open, FieldId::Author), "Ines Okafor");
    EXPECT_EQ(Text(open, FieldId::DateCreated), "01/02/2024 02:04:05");
    EXPECT_EQ(Reasons(open), "");

    const auto user = FileSource::open(kFolder + "built-user-password.pdf");
    ASSERT_TRUE(user);
    const auto sealed = ReadPdfDocument(*user);
    EXPECT_TRUE(sealed.opened);
    EXPECT_EQ(FilledCount(sealed), 0u);
    EXPECT_TRUE(sealed.custom.empty());
    EXPECT_EQ(Reasons(sealed), "encrypted: a password is needed\n");
}

TEST(PdfBuilt, RecognisedByTheHeaderInTheFirstKilobyte)
{
    struct Case {
        std::string bytes;
        bool pdf;
    };
    const std::vector<Case> cases = {
        {"%PDF-1.4\n", true},
        {std::string(1019, ' ') + "%PDF-", true},
        {std::string(1020, ' ') + "%PDF-1.4", false},
        {"%PDF", false},
        {"", false},
        {"PK\x03\x04", false},
    };
    for (const auto& c : cases) {
        const MemorySource source(std::as_bytes(std::span(c.bytes.data(), c.bytes.size())));
        EXPECT_EQ(IsPdfDocument(source), c.pdf) << c.bytes.size();
        const auto read = ReadPdfDocument(source);
        EXPECT_EQ(read.opened, c.pdf);
        if (!c.pdf) {
            EXPECT_EQ(Reasons(read), "not a document of a known kind\n");
        }
    }
}

TEST(PdfBuilt, DamageBeyondRepairGivesTheReasonAndNoValue)
{
    for (const std::string& bytes : {std::string("%PDF-1.7\n"), std::string("%PDF-1.7\n1 0 obj\n<< /Type /Catalog"),
                                    std::string("%PDF-1.7\ntrailer << /Root 5 0 R >>\n%%EOF\n")}) {
        SCOPED_TRACE(bytes);
        const auto read = ReadPdfBytes(bytes);
        EXPECT_TRUE(read.opened);
        EXPECT_EQ(FilledCount(read), 0u);
        ASSERT_FALSE(read.diagnostics.empty());
        EXPECT_EQ(read.diagnostics.front().kind, DiagnosticKind::Damaged);
    }
}
