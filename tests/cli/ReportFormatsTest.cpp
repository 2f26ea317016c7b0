// The report tool's pieces driven in-process: the typed JSON from a document model, the byte
// forms of names, CSV quoting, ISO times, path lists and the ordered parallel runner.

#include "BatchRunner.h"
#include "CsvText.h"
#include "DfxmlWriter.h"
#include "FileExamination.h"
#include "IsoTimes.h"
#include "JsonText.h"
#include "PathList.h"
#include "TextBytes.h"
#include "docprops/DocumentReader.h"

#include "../core/TestFiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <sstream>
#include <thread>

using namespace tallyglass;
using Json = nlohmann::ordered_json;

namespace {

Seconds at(std::int64_t s) { return Seconds(std::chrono::seconds(s)); }

// A component whose reader handed back the given model, as the document readers do.
class ModelComponent final : public DocumentPropertiesComponent {
public:
    explicit ModelComponent(DocumentProperties model) : m_model(std::move(model)) {}
    bool OpenFile(const std::string&, std::int32_t, std::int32_t) override
    {
        m_opened = true;
        m_summary = std::make_shared<StoredSummary>(m_model);
        return true;
    }
    std::shared_ptr<DocumentSummary> GetSummary() override { return m_summary; }
    const DocumentProperties* Properties() const override { return m_opened ? &m_model : nullptr; }

private:
    DocumentProperties m_model;
    bool m_opened = false;
    std::shared_ptr<DocumentSummary> m_summary;
};

DocumentProperties sampleModel()
{
    DocumentProperties m;
    m.opened = true;
    m.format = "compound";
    m.set(FieldId::Title, std::string("Quarterly \"plan\""));
    m.set(FieldId::PageCount, std::int32_t(12));
    m.set(FieldId::Shared, false);
    m.set(FieldId::DateCreated, DocumentDate{at(1057778100), DateZone::Given});      // 2003-07-09 19:15
    m.set(FieldId::DateLastSaved, DocumentDate{at(1057781700), DateZone::AssumedLocal});
    m.custom = {{"Client", std::string("ACME")},
                {"Budget", std::int64_t(5'000'000'000)},
                {"Ratio", 0.25},
                {"Approved", true},
                {"Due", DocumentDate{at(1060000000), DateZone::AssumedUtc}},
                {"Client", std::string("Globex")},
                {"Broken", std::nan("")}};
    m.note(DiagnosticKind::Damaged, "directory chain loops at sector 7");
    m.note(DiagnosticKind::NotADocument, "");
    return m;
}

ExtractionServices servicesWith(std::function<std::unique_ptr<DocumentPropertiesComponent>()> component)
{
    ExtractionServices s = SystemServices();
    s.createDocumentComponent = std::move(component);
    return s;
}

} // namespace

TEST(ReportJson, TypedValuesCustomPropertiesAndReasonsComeFromTheModel)
{
    TempFolder folder;
    const std::string file = folder.write("plan.doc", "abc");
    const Examination e = ExamineFile(file, servicesWith([] { return std::make_unique<ModelComponent>(sampleModel()); }));
    ASSERT_FALSE(e.refused);
    const Json j = JsonReport(e);

    // The 38 texts first, in catalogue order, as the window shows them.
    std::size_t i = 0;
    for (auto it = j.begin(); i < FieldCatalogue().size(); ++it, ++i)
        EXPECT_EQ(it.key(), FieldCatalogue()[i].idName);
    EXPECT_EQ(j["Title"], "Quarterly \"plan\"");
    EXPECT_EQ(j["PageCount"], "12");
    EXPECT_EQ(j["Author"], "");
    EXPECT_EQ(std::next(j.begin(), 38).key(), "Times");

    const Json& v = j["Values"];
    EXPECT_EQ(v.size(), kPropertyCount);
    EXPECT_EQ(v["Title"], "Quarterly \"plan\"");
    EXPECT_EQ(v["PageCount"], 12);
    EXPECT_TRUE(v["PageCount"].is_number_integer());
    EXPECT_EQ(v["Shared"], false);
    EXPECT_EQ(v["DateCreated"], "2003-07-09T19:15:00Z");
    EXPECT_TRUE(v["Author"].is_null());
    EXPECT_TRUE(v["DateLastPrinted"].is_null());

    const Json& t = j["Times"];
    EXPECT_EQ(t["DateCreated"], (Json{{"time", "2003-07-09T19:15:00Z"}, {"zone", "given"}}));
    EXPECT_EQ(t["DateLastSaved"]["zone"], "assumed-local");
    EXPECT_TRUE(t["DateLastPrinted"].is_null());
    ASSERT_TRUE(e.file);
    EXPECT_EQ(t["LastModified"], IsoUtcNanoseconds(e.file->LastModifiedExact));

    const Json& c = j["CustomProperties"];
    EXPECT_EQ(c.dump(), R"({"Client":["ACME","Globex"],"Budget":5000000000,"Ratio":0.25,"Approved":true,)"
                        R"("Due":"2003-08-04T12:26:40Z","Broken":null})");
    EXPECT_EQ(j["Diagnostics"], (Json{"damaged: directory chain loops at sector 7", "not a document of a known kind"}));
    EXPECT_EQ(j["Examined"]["Tool"], "tallyglass-report");
    EXPECT_EQ(j["Examined"]["Version"], TALLYGLASS_VERSION_TEXT);
    EXPECT_NE(j["Examined"]["NoAtime"], "not-opened");

    EXPECT_EQ(ReasonLines(e), "tallyglass-report: " + file + ": damaged: directory chain loops at sector 7\n"
                              "tallyglass-report: " + file + ": not a document of a known kind\n");
}

TEST(ReportDfxml, TheModelInOurNamespaceStillValidates)
{
    TempFolder folder;
    const std::string file = folder.write("plan.doc", "abc");
    DocumentProperties model = sampleModel();
    model.custom.push_back({"Odd\x01name", std::string("line\r\nbreak")});
    const Examination e = ExamineFile(file, servicesWith([&] { return std::make_unique<ModelComponent>(model); }));
    std::ostringstream out;
    DfxmlWriter writer(out, {"tallyglass-report", "--dfxml", file});
    writer.begin(e.examinedAt);
    writer.add(e);
    writer.end();
    const std::string xml = out.str();
    for (const char* expected : {
             "<tg:Title kind=\"text\">Quarterly \"plan\"</tg:Title>",
             "<tg:DateLastSaved kind=\"date\" zone=\"assumed-local\">2003-07-09T20:15:00Z</tg:DateLastSaved>",
             "<tg:PageCount kind=\"integer\">12</tg:PageCount>",
             "<tg:Shared kind=\"boolean\">false</tg:Shared>",
             "<tg:custom name=\"Budget\" type=\"integer\">5000000000</tg:custom>",
             "<tg:diagnostic kind=\"damaged\">directory chain loops at sector 7</tg:diagnostic>",
             "<tg:text field=\"Title\">Quarterly \"plan\"</tg:text>",
             "<hashdigest type=\"MD5\">900150983cd24fb0d6963f7d28e17f72</hashdigest>",
         })
        EXPECT_NE(xml.find(expected), std::string::npos) << expected << "\n" << xml;
    // A name and a text XML cannot carry keep their bytes.
    EXPECT_NE(xml.find("nameBytes=\"" + Base64("Odd\x01name") + "\""), std::string::npos);
    EXPECT_NE(xml.find("tg:bytes=\"" + Base64("line\r\nbreak") + "\""), std::string::npos);
    EXPECT_EQ(xml.find("<tg:DateLastPrinted"), std::string::npos); // absent, so not written

    const std::string path = folder.write("out.dfxml", xml);
    const std::string schema = std::string(TALLYGLASS_TEST_DATA) + "/dfxml/dfxml.xsd";
    EXPECT_EQ(std::system(("xmllint --nonet --noout --schema '" + schema + "' '" + path + "' 2>/dev/null").c_str()), 0);
}

// Without a component there is no model; with ours, a plain text file is no document and says so.
TEST(ReportJson, WithoutAModelValuesAreNullAndTheRestEmpty)
{
    TempFolder folder;
    const std::string file = folder.write("plain.txt", "abc");
    for (const bool component : {false, true}) {
        const Examination e = ExamineFile(file, servicesWith([component]() -> std::unique_ptr<DocumentPropertiesComponent> {
            return component ? CreateDocumentPropertiesComponent() : nullptr;
        }));
        const Json j = JsonReport(e);
        for (const auto& [name, value] : j["Values"].items())
            EXPECT_TRUE(value.is_null()) << name;
        EXPECT_EQ(j["CustomProperties"], Json::object());
        EXPECT_TRUE(j["Times"]["DateCreated"].is_null());
        if (component) {
            EXPECT_EQ(j["Diagnostics"], Json::array({"not a document of a known kind"}));
            EXPECT_EQ(ReasonLines(e), "tallyglass-report: " + file + ": not a document of a known kind\n");
        } else {
            EXPECT_EQ(j["Diagnostics"], Json::array());
            EXPECT_EQ(ReasonLines(e), "");
        }
    }
}

TEST(ReportJson, NamesThatAreNotUtf8KeepTheirBytes)
{
    TempFolder folder;
    const std::string bad = folder.write("r\xE9sum\xE9.txt", "x");
    const Json j = JsonReport(ExamineFile(bad, SystemServices()));
    EXPECT_EQ(j["FileName"], "r\xEF\xBF\xBDsum\xEF\xBF\xBD.txt");
    EXPECT_EQ(j["FileNameBytes"], Base64("r\xE9sum\xE9.txt"));
    EXPECT_EQ(j["FilePathBytes"], Base64(bad));
    // Placed right after the 38 texts.
    EXPECT_EQ(std::next(j.begin(), 38).key(), "FileNameBytes");

    const Json good = JsonReport(ExamineFile(folder.write("caf\xC3\xA9.txt", "x"), SystemServices()));
    EXPECT_FALSE(good.contains("FileNameBytes"));
    EXPECT_FALSE(good.contains("FilePathBytes"));
}

TEST(ReportJson, ARefusedPathGivesOnlyItsMessage)
{
    const Examination e = ExamineFile("/nonexistent/x", SystemServices());
    EXPECT_TRUE(e.refused);
    EXPECT_EQ(e.status, kRefusedPathStatus);
    EXPECT_EQ(ReasonLines(e), "tallyglass-report: Invalid file path: /nonexistent/x\n");
}

TEST(TextBytes, Base64AndWhatEachFormCarries)
{
    // RFC 4648's test vectors.
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}};
    for (const auto& [in, out] : vectors)
        EXPECT_EQ(Base64(in), out) << in;
    EXPECT_EQ(Base64(std::string("\xFF\x00\x80", 3)), "/wCA");

    struct Case {
        std::string text;
        bool utf8, xml;
    };
    const Case cases[] = {
        {"plain", true, true},
        {"tab\tand\nline", true, true},
        {"cr\r", true, false},
        {std::string("nul\0", 4), true, false},
        {"\x1F", true, false},
        {"\xEF\xBF\xBE", true, false}, // U+FFFE
        {"\xEF\xBF\xBD", true, true},  // U+FFFD itself
        {"\xF0\x9F\x93\x84", true, true},
        {"\xE9", false, false},
        {"\xC0\xAF", false, false},   // overlong
        {"\xED\xA0\x80", false, false}, // surrogate
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidUtf8(c.text), c.utf8) << c.text;
        EXPECT_EQ(IsXmlExact(c.text), c.xml) << c.text;
        EXPECT_TRUE(IsXmlExact(XmlReplaced(c.text))) << c.text;
        EXPECT_TRUE(IsValidUtf8(Utf8Replaced(c.text))) << c.text;
    }
    EXPECT_EQ(XmlReplaced("a\rb"), "a\xEF\xBF\xBD" "b");
}

TEST(IsoTimes, WholeSecondsAndNanosecondsAroundTheBoundaries)
{
    using namespace std::chrono;
    EXPECT_EQ(IsoUtc(at(0)), "1970-01-01T00:00:00Z");
    EXPECT_EQ(IsoUtc(at(-1)), "1969-12-31T23:59:59Z");
    EXPECT_EQ(IsoUtc(at(253402300799)), "9999-12-31T23:59:59Z");
    EXPECT_EQ(IsoUtc(at(951782400)), "2000-02-29T00:00:00Z");
    EXPECT_EQ(IsoUtcNanoseconds(Nanoseconds(nanoseconds(1796703918123456789))), "2026-12-08T04:25:18.123456789Z");
    EXPECT_EQ(IsoUtcNanoseconds(Nanoseconds(nanoseconds(-1))), "1969-12-31T23:59:59.999999999Z");
    EXPECT_EQ(IsoUtcNanoseconds(Nanoseconds(nanoseconds(0))), "1970-01-01T00:00:00.000000000Z");
    EXPECT_EQ(ZoneName(DateZone::AssumedUtc), "assumed-utc");
}

TEST(Csv, QuotesOnlyWhatRfc4180Needs)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"plain text", "plain text"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\r", "\"cr\r\""},
        {" padded ", " padded "},
        {"r\xE9sum\xE9", "r\xEF\xBF\xBDsum\xEF\xBF\xBD"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(CsvField(in), out) << in;
    const std::string header = CsvHeader();
    EXPECT_EQ(header.rfind("File Name,Title,Author,", 0), 0u);
    EXPECT_NE(header.find(",Date Created (OLE),"), std::string::npos);
    EXPECT_EQ(header.substr(header.size() - 15), ",SHA-256 Hash\r\n");
}

TEST(PathList, LinesOrNulSeparatedWithEmptyEntriesSkipped)
{
    std::istringstream lines("a\n\nb c\r\n/x/y\n");
    EXPECT_EQ(ReadPathList(lines, false), (std::vector<std::string>{"a", "b c\r", "/x/y"}));
    std::istringstream nul(std::string("one\nline\0\0two\0three", 20));
    EXPECT_EQ(ReadPathList(nul, true), (std::vector<std::string>{"one\nline", "two", "three"}));
    std::istringstream empty("");
    EXPECT_TRUE(ReadPathList(empty, true).empty());
}

TEST(RunInOrder, EmitsInInputOrderWithBoundedResults)
{
    for (const unsigned jobs : {1u, 2u, 5u}) {
        constexpr std::size_t kCount = 200;
        std::atomic<std::size_t> started{0};
        std::atomic<std::size_t> taken{0};
        std::atomic<std::size_t> mostAhead{0};
        std::vector<std::size_t> order;
        RunInOrder<std::size_t>(
            kCount, jobs,
            [&](std::size_t i) {
                const std::size_t ahead = ++started - taken.load();
                std::size_t seen = mostAhead.load();
                while (ahead > seen && !mostAhead.compare_exchange_weak(seen, ahead)) {
                }
                // Early items are slow, so later ones finish first and must wait.
                std::this_thread::sleep_for(std::chrono::microseconds(i % 7 == 0 ? 2000 : 50));
                return i * 3;
            },
            [&](std::size_t i, std::size_t&& value) {
                ++taken;
                EXPECT_EQ(value, i * 3);
                order.push_back(i);
            });
        ASSERT_EQ(order.size(), kCount) << jobs;
        for (std::size_t i = 0; i < kCount; ++i)
            EXPECT_EQ(order[i], i);
        // Results started and not yet handed over: twice the jobs, and the one being handed
        // over; with one job, that one alone.
        EXPECT_LE(mostAhead.load(), jobs == 1 ? 1 : 2 * jobs + 1) << jobs;
    }
}

TEST(RunInOrder, AFailingItemStopsTheRunAndSurfaces)
{
    std::size_t emitted = 0;
    EXPECT_THROW(RunInOrder<int>(
                     50, 3,
                     [](std::size_t i) -> int {
                         if (i == 10)
                             throw std::runtime_error("boom");
                         return int(i);
                     },
                     [&](std::size_t, int&&) { ++emitted; }),
                 std::runtime_error);
    EXPECT_LE(emitted, 10u);
}
