// Texts of property sets in the code pages writers use.
#include "CompoundFileBuilder.h"

#include "docprops/CodePage.h"
#include "docprops/DocumentReader.h"

#include <gtest/gtest.h>

namespace tallyglass::test {
namespace {

std::string titleOf(const Property& title, std::uint16_t codePage)
{
    const Bytes file = CompoundFileBuilder()
                           .stream(u"\u0005SummaryInformation",
                                   propertySet(kFmtidSummaryInformation, {i2(1, codePage), title}))
                           .build();
    const MemorySource source(file);
    const auto values = ReadDocumentSummary(source);
    return values ? values->Title : "(not read)";
}

std::string decode(std::string_view bytes, std::uint16_t codePage)
{
    return DecodeCodePageText(std::as_bytes(std::span(bytes.data(), bytes.size())), codePage);
}

TEST(CodePage, DecodesTitlesInTheSetsCodePage)
{
    EXPECT_EQ(titleOf(lpstr(2, "\xcf\xf0\xe8\xe2\xe5\xf2"), 1251), "Привет");
    EXPECT_EQ(titleOf(lpstr(2, "Caf\xe9 \x80"), 1252), "Café €");
    EXPECT_EQ(titleOf(lpstr(2, "\xe6\x97\xa5\xe6\x9c\xac"), 65001), "日本"); // stored as 0xFDE9
    EXPECT_EQ(titleOf(lpstr(2, "\x93\xfa\x96\x7b"), 932), "日本");
    EXPECT_EQ(titleOf(lpstr(2, "\xc8\xd5\xb1\xbe"), 936), "日本");
    EXPECT_EQ(titleOf(lpstr(2, "\xc0\xcf\xba\xbb"), 949), "일본");
    EXPECT_EQ(titleOf(lpstr(2, "\xa4\xe9\xa5\xbb"), 950), "日本");
    EXPECT_EQ(titleOf(lpstr(2, "\xf9\xec\xe5\xed"), 1255), "שלום"); // the last letter is held back by iconv
}

TEST(CodePage, ReadsUnicodeTitles)
{
    EXPECT_EQ(titleOf(lpwstr(2, u"Ünïcode 日本 \U0001F600"), 1252), "Ünïcode 日本 😀");
    // Code page 1200 stores even VT_LPSTR texts as UTF-16LE.
    EXPECT_EQ(titleOf(lpstr(2, std::string("H\0i\0", 4)), 1200), "Hi");
}

TEST(CodePage, UnknownPagesReadAs1252AndBadBytesBecomeReplacementCharacters)
{
    EXPECT_EQ(titleOf(lpstr(2, "Caf\xe9"), 4242), "Café");
    EXPECT_EQ(titleOf(lpstr(2, "Caf\xe9"), 0), "Café");
    EXPECT_EQ(decode("a\x81z", 1252), "a\uFFFDz");
    EXPECT_EQ(decode("ok\xff\xfe", 65001), "ok\uFFFD\uFFFD");
    EXPECT_EQ(decode("\x93", 932), "\uFFFD"); // a lead byte cut off by the end
    EXPECT_EQ(decode("x\0\0\0", 1252), "x");
}

TEST(CodePage, Utf16EdgesAreReplacedNotRefused)
{
    const auto utf16 = [](std::initializer_list<unsigned char> b) {
        std::vector<std::byte> bytes;
        for (unsigned char c : b)
            bytes.push_back(std::byte(c));
        return Utf16LeToUtf8(bytes);
    };
    EXPECT_EQ(utf16({0x41, 0, 0x00, 0xD8, 0x42, 0}), "A\uFFFDB"); // unpaired high surrogate
    EXPECT_EQ(utf16({0x00, 0xDC}), "\uFFFD");                      // lone low surrogate
    EXPECT_EQ(utf16({0x41, 0, 0, 0, 0, 0}), "A");
    EXPECT_EQ(utf16({0x41, 0, 0x42}), "A\uFFFD"); // odd byte
}

} // namespace
} // namespace tallyglass::test
