// Hand-built RTF for what the corpus lacks: code pages, Unicode forms, user properties,
// where the information group may stand, dates, counts, caps and damage.
#include "RtfFieldTexts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace tallyglass::test {
namespace {

std::string info(std::string_view entries, std::string_view header = "\\ansi\\ansicpg1252")
{
    return "{\\rtf1" + std::string(header) + "{\\info" + std::string(entries) + "}\\pard Body\\par}";
}

bool hasDiagnostic(const DocumentProperties& p, DiagnosticKind kind, std::string_view part)
{
    for (const Diagnostic& d : p.diagnostics) {
        if (d.kind == kind && d.detail.find(part) != std::string::npos)
            return true;
    }
    return false;
}

struct TextCase {
    const char* what;
    std::string rtf;
    FieldId field;
    std::string expected;
};

TEST(RtfReader, TextsDecodeThroughTheirCodePagesAndUnicodeForms)
{
    const std::string fonts = "\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial Cyr;}"
                              "{\\f2\\fcharset128 MS Mincho;}}";
    const TextCase cases[] = {
        {"code page 1251", info("{\\title \\'cc\\'e5\\'f2\\'ee\\'e4}", "\\ansi\\ansicpg1251"), FieldId::Title, "Метод"},
        {"code page 932 pairs", info("{\\title \\'83\\'5e\\'83\\'43}", "\\ansi\\ansicpg932"), FieldId::Title, "タイ"},
        {"932 lead byte at the end is dropped", info("{\\title \\'83\\'5e\\'83}", "\\ansi\\ansicpg932"), FieldId::Title,
         "タ"},
        {"932 lead byte before a \\u is dropped", info("{\\title \\'83\\u1052?}", "\\ansi\\ansicpg932"), FieldId::Title,
         "М"},
        {"\\fcharset of a font used in the group", info("{\\title A\\f1\\'cc\\'e5{\\f2\\'83\\'5e}\\'e5}", fonts),
         FieldId::Title, "AМеタе"},
        {"no code page: Windows-1252", info("{\\author D\\'f6rfler}", "\\ansi"), FieldId::Author, "Dörfler"},
        {"\\u with the default one fallback byte", info("{\\title \\u1052?\\u1077?}"), FieldId::Title, "Ме"},
        {"\\uc0: nothing to skip", info("{\\title \\uc0\\u1052\\u1077 x}"), FieldId::Title, "Меx"},
        {"\\uc2: two fallbacks, an escape counts as one", info("{\\title \\uc2\\u1052 ab\\u1077\\'3f\\'3fc}"),
         FieldId::Title, "Меc"},
        {"\\uc is the group's own", info("{\\title {\\uc2\\u1052 ab}\\u1077?c}"), FieldId::Title, "Меc"},
        {"a skip ends at the group's end", info("{\\title {\\uc3\\u1052 a}b}"), FieldId::Title, "Мb"},
        {"negative \\u as RTF writes it", info("{\\title \\u-3913 ?\\u-7014 ?}"), FieldId::Title, "\uF0B7\uE49A"},
        {"a surrogate pair", info("{\\title \\u-10179?\\u-8694?}"), FieldId::Title, "\U0001F60A"},
        {"a lone high surrogate", info("{\\title \\u-10179?x}"), FieldId::Title, "\uFFFDx"},
        {"a lone low surrogate", info("{\\title a\\u-8694?}"), FieldId::Title, "a\uFFFD"},
        {"a high surrogate at the end", info("{\\title a\\u55357?}"), FieldId::Title, "a\uFFFD"},
        {"\\upr takes the Unicode form", info("{\\upr{\\title Ansi}{\\*\\ud{\\title \\u1052?}}}"), FieldId::Title, "М"},
        {"\\upr without \\ud keeps the ANSI form", info("{\\upr{\\author Ansi}}"), FieldId::Author, "Ansi"},
        {"an earlier entry beats \\upr", info("{\\title First}{\\upr{\\title A}{\\*\\ud{\\title U}}}"), FieldId::Title,
         "First"},
        {"the first of two entries counts", info("{\\author First}{\\author Last}"), FieldId::Author, "First"},
        {"an optional entry counts", info("{\\*\\company Acme}"), FieldId::Company, "Acme"},
        {"an escaped brace and backslash", info("{\\doccomm a\\{b\\}c\\\\d}"), FieldId::Comments, "a{b}c\\d"},
        {"line ends in the source are not text", info("{\\keywords one,\r\n two}"), FieldId::Keywords, "one, two"},
        {"special characters", info("{\\subject a\\~b\\tab c\\emdash d\\-e}"), FieldId::Subject, "a\u00A0b\tc\u2014de"},
        {"a destination inside an entry is passed over", info("{\\title a{\\*\\bkmkstart x}b}"), FieldId::Title, "ab"},
        {"\\bin data is skipped", info("{\\title A\\bin3 {}}B}"), FieldId::Title, "AB"},
        {"a 32-letter control word is a word", info("{\\title a\\abcdefghijklmnopqrstuvwxyzabcdef b}"),
         FieldId::Title, "ab"},
        {"a word over 32 letters is passed over", info("{\\title a\\abcdefghijklmnopqrstuvwxyzabcdefg b}"),
         FieldId::Title, "ab"},
        {"the other texts", info("{\\manager M}{\\category C}{\\operator O}"), FieldId::LastSavedBy, "O"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.what);
        const DocumentProperties p = ReadRtfText(c.rtf);
        EXPECT_TRUE(p.opened);
        EXPECT_EQ(Text(p, c.field), c.expected);
    }
}

TEST(RtfReader, DatesAreLocalTimeAndAnInvalidDateLeavesOnlyItsField)
{
    struct Case {
        const char* what;
        std::string group;
        std::string expected;
    } cases[] = {
        {"minutes", "\\yr2006\\mo5\\dy18\\hr12\\min19", "05/18/2006 12:19:00"},
        {"seconds", "\\yr2006\\mo5\\dy18\\hr12\\min19\\sec7", "05/18/2006 12:19:07"},
        {"midnight shows the date alone", "\\yr1601\\mo1\\dy1\\hr0\\min0", "01/01/1601"},
        {"no time of day", "\\yr2012\\mo12\\dy30", "12/30/2012"},
        {"all zero", "\\yr0\\mo0\\dy0\\hr0\\min0", ""},
        {"February 29th of a common year", "\\yr2001\\mo2\\dy29", ""},
        {"month 13", "\\yr2001\\mo13\\dy1", ""},
        {"hour 24", "\\yr2001\\mo1\\dy1\\hr24", ""},
        {"year 10000", "\\yr10000\\mo1\\dy1", ""},
        {"no day", "\\yr2001\\mo1", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto p = ReadRtfText(info("{\\creatim" + c.group + "}{\\revtim\\yr2020\\mo2\\dy29\\hr1\\min2}"
                                        "{\\printim\\yr1999\\mo1\\dy27\\hr15\\min44}{\\title T}"));
        EXPECT_EQ(Text(p, FieldId::DateCreated), c.expected);
        EXPECT_EQ(Text(p, FieldId::DateLastSaved), "02/29/2020 01:02:00");
        EXPECT_EQ(Text(p, FieldId::DateLastPrinted), "01/27/1999 15:44:00");
        EXPECT_EQ(Text(p, FieldId::Title), "T");
    }
    // The first date counts even when it is not one.
    EXPECT_EQ(Text(ReadRtfText(info("{\\creatim\\yr2001\\mo2\\dy30}{\\creatim\\yr2001\\mo2\\dy1}")),
                   FieldId::DateCreated),
              "");

    // The writer's clock is read as this machine's: 12:19 in Berlin in summer is 10:19 UTC.
    const char* zone = std::getenv("TZ");
    const std::string saved = zone ? zone : "";
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    const auto p = ReadRtfText(info("{\\creatim\\yr2006\\mo5\\dy18\\hr12\\min19}"));
    zone ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
    tzset();
    const auto* date = std::get_if<DocumentDate>(&p.get(FieldId::DateCreated));
    ASSERT_TRUE(date);
    EXPECT_EQ(date->zone, DateZone::AssumedLocal);
    EXPECT_EQ(date->when.time_since_epoch().count(), 1147947540);
}

TEST(RtfReader, CountsAndVersion)
{
    const auto p = ReadRtfText(info("{\\edmins445}{\\nofpages-1}{\\nofwords0}{\\nofchars3000000000}"
                                    "{\\nofcharsws12345678901}{\\vern49275}{\\version30}"));
    EXPECT_EQ(Text(p, FieldId::TotalEditTime), "445");
    EXPECT_EQ(Text(p, FieldId::PageCount), "-1");
    EXPECT_EQ(Text(p, FieldId::WordCount), "0");
    EXPECT_EQ(Text(p, FieldId::CharCount), "");           // beyond a 32-bit count
    EXPECT_EQ(Text(p, FieldId::CharCountWithSpaces), ""); // eleven digits
    EXPECT_TRUE(hasDiagnostic(p, DiagnosticKind::OverCap, "10 digits"));
    EXPECT_EQ(Text(p, FieldId::Version), "49275");
    // Every field RTF does not hold is blank, not 0 or False.
    for (FieldId blank : {FieldId::AppName, FieldId::Template, FieldId::Shared, FieldId::ByteCount,
                          FieldId::SlideCount, FieldId::PresentationFormat})
        EXPECT_TRUE(std::holds_alternative<std::monostate>(p.get(blank)));
    EXPECT_EQ(p.absent, AbsentForm::Blank);
}

TEST(RtfReader, UserPropertiesAreTypedAndFillCompanyManagerCategory)
{
    const std::string props = "{\\*\\userprops {\\propname Company}\\proptype30{\\staticval Acme}"
                              "{\\propname Manager}\\proptype30{\\staticval Ann}"
                              "{{\\propname Pages}\\proptype3{\\staticval 12}}"
                              "{\\propname Ratio}\\proptype5{\\staticval 2.5}"
                              "{\\propname Done}\\proptype11{\\staticval 1}"
                              "{\\propname When}\\proptype64{\\staticval 2013. 01. 21.}"
                              "{\\propname Odd}\\proptype3{\\staticval x1}"
                              "{\\propname Linked}\\proptype30{\\linkval Bookmark}"
                              "{\\propname \\'cc\\'e5}\\proptype30{\\staticval \\u1052?}}";
    // LibreOffice writes the user properties right after the group, some writers inside it.
    for (const std::string& rtf : {"{\\rtf1\\ansi\\ansicpg1251{\\info{\\manager Own}}" + props + "\\pard x}",
                                   "{\\rtf1\\ansi\\ansicpg1251{\\info{\\manager Own}" + props + "}\\pard x}"}) {
        const auto p = ReadRtfText(rtf);
        EXPECT_EQ(Text(p, FieldId::Company), "Acme");
        EXPECT_EQ(Text(p, FieldId::Manager), "Own"); // the group's own entry wins
        EXPECT_EQ(Text(p, FieldId::Category), "");
        ASSERT_EQ(p.custom.size(), 8u);
        EXPECT_EQ(p.custom[0], (CustomProperty{"Company", std::string("Acme")}));
        EXPECT_EQ(p.custom[2], (CustomProperty{"Pages", std::int64_t(12)}));
        EXPECT_EQ(p.custom[3], (CustomProperty{"Ratio", 2.5}));
        EXPECT_EQ(p.custom[4], (CustomProperty{"Done", true}));
        const auto* when = std::get_if<DocumentDate>(&p.custom[5].value);
        ASSERT_TRUE(when);
        EXPECT_EQ(DateText(when->when), "01/21/2013");
        EXPECT_EQ(p.custom[6], (CustomProperty{"Odd", std::string("x1")}));
        EXPECT_EQ(p.custom[7], (CustomProperty{"Ме", std::string("М")}));
    }
}

TEST(RtfReader, OnlyTheHeadersInformationGroupCounts)
{
    const struct {
        const char* what;
        std::string rtf;
        std::string title;
    } cases[] = {
        {"inside a destination", "{\\rtf1{\\*\\foo{\\info{\\title No}}}{\\info{\\title Yes}}}", "Yes"},
        {"nested in another group", "{\\rtf1{{\\info{\\title No}}}{\\info{\\title Late}}}", ""},
        {"after the first body text", "{\\rtf1\\ansi Hello{\\info{\\title No}}}", ""},
        {"after a paragraph", "{\\rtf1\\ansi\\pard{\\info{\\title No}}}", ""},
        {"after a text group", "{\\rtf1{\\b Hello}{\\info{\\title No}}}", ""},
        {"after the header tables", "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0;}{\\stylesheet{Normal;}}"
                                    "{\\*\\generator W;}{\\upr{\\stylesheet{S;}}{\\*\\ud{\\stylesheet{S;}}}}"
                                    "{\\info{\\title Yes}}}", "Yes"},
        {"a second group", "{\\rtf1{\\info{\\title One}}{\\info{\\title Two}}}", "One"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto p = ReadRtfText(c.rtf);
        EXPECT_TRUE(p.opened);
        EXPECT_EQ(Text(p, FieldId::Title), c.title);
    }
}

TEST(RtfReader, DamageKeepsWhatWasReadAndSaysWhy)
{
    const struct {
        const char* what;
        std::string rtf;
        std::string title, author;
        DiagnosticKind kind;
        const char* reason;
    } cases[] = {
        {"an unclosed group", "{\\rtf1{\\info{\\title Done}{\\author Ha", "Done", "Ha", DiagnosticKind::Damaged,
         "not closed"},
        {"the end inside a control word", "{\\rtf1{\\info{\\title Done}{\\author X}\\edmi", "Done", "X",
         DiagnosticKind::Damaged, "control word"},
        {"the end after a backslash", "{\\rtf1{\\info{\\title Done}{\\author X\\", "Done", "X",
         DiagnosticKind::Damaged, "control word"},
        {"the end inside \\'hh", "{\\rtf1{\\info{\\title Done\\'8", "Done", "", DiagnosticKind::Damaged,
         "control word"},
        {"a lead byte at the very end of the file", "{\\rtf1\\ansicpg932{\\info{\\title \\'83\\'5e\\'83", "タ", "",
         DiagnosticKind::Damaged, "not closed"},
        {"the end inside \\bin data", "{\\rtf1{\\info{\\title T}{\\*\\x\\bin2147483648 abc", "T", "",
         DiagnosticKind::Damaged, "bin data of 2147483648"},
        {"a long text is cut", "{\\rtf1{\\info{\\author A}{\\title " + [] {
             std::string s;
             for (int i = 0; i < 30000; ++i)
                 s += "\\u12354?";
             return s;
         }() + "}}}", std::string(21845 * 3, 'x'), "A", DiagnosticKind::OverCap, "\\title longer than 64 KiB"},
        {"a million nested groups", "{\\rtf1{\\info{\\title T}{\\*\\x" + std::string(1'000'000, '{'), "T", "",
         DiagnosticKind::OverCap, "nested deeper than 256"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto p = ReadRtfText(c.rtf);
        EXPECT_TRUE(p.opened);
        const std::string title = Text(p, FieldId::Title);
        if (c.title.size() == 21845 * 3) {
            // Cut at 65,535 bytes: the next three-byte character would not fit.
            EXPECT_EQ(title.size(), 21845u * 3);
            EXPECT_EQ(title.substr(title.size() - 3), "\u3042");
        } else {
            EXPECT_EQ(title, c.title);
        }
        EXPECT_EQ(Text(p, FieldId::Author), c.author);
        EXPECT_TRUE(hasDiagnostic(p, c.kind, c.reason)) << (p.diagnostics.empty() ? "" : DiagnosticText(p.diagnostics[0]));
    }
    // A million nested groups before any information group: no values, no crash, the reason.
    const auto deep = ReadRtfText("{\\rtf1" + std::string(1'000'000, '{') + std::string(1'000'000, '}'));
    EXPECT_TRUE(hasDiagnostic(deep, DiagnosticKind::OverCap, "nested deeper"));
}

TEST(RtfReader, OnlyRtfIsRecognised)
{
    for (const std::string_view bytes : {"", "{\\rt", "{\\RTF1}", "hello", "\xEF\xBB\xBF{\\rtf1}"}) {
        const MemorySource source(std::as_bytes(std::span(bytes.data(), bytes.size())));
        EXPECT_FALSE(IsRtfDocument(source)) << bytes;
        const auto p = ReadRtfDocument(source);
        EXPECT_FALSE(p.opened);
        EXPECT_TRUE(p.format.empty());
        ASSERT_EQ(p.diagnostics.size(), 1u);
        EXPECT_EQ(p.diagnostics[0].kind, DiagnosticKind::NotADocument);
    }
    const auto p = ReadRtfText("{\\rtf1}");
    EXPECT_TRUE(p.opened);
    EXPECT_EQ(p.format, "rtf");
    EXPECT_TRUE(p.diagnostics.empty());
}

} // namespace
} // namespace tallyglass::test
