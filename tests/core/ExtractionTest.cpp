#include "Extraction.h"

#include "RecordingWindow.h"
#include "SummaryValues.h"
#include "TestFiles.h"

#include "FieldByName.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <ctime>

using namespace tallyglass;

namespace {

// Digests that answer at once with a text naming the algorithm and path.
class FakeDigests : public DigestService {
public:
    std::string HashFile(int algorithm, std::string& path, int flag) override
    {
        calls.push_back(std::to_string(algorithm) + ":" + path + ":" + std::to_string(flag));
        return "digest" + std::to_string(algorithm) + "(" + path.substr(path.find_last_of('/') + 1) + ")";
    }
    std::vector<std::string> calls;
};

// A component whose document carries the given values, or that cannot open anything.
class FakeComponent : public DocumentPropertiesComponent {
public:
    explicit FakeComponent(std::shared_ptr<DocumentSummary> summary) : m_summary(std::move(summary)) {}
    bool OpenFile(const std::string&, std::int32_t access, std::int32_t share) override
    {
        EXPECT_EQ(access, 0);
        EXPECT_EQ(share, 2);
        return m_summary != nullptr;
    }
    std::shared_ptr<DocumentSummary> GetSummary() override { return m_summary; }

private:
    std::shared_ptr<DocumentSummary> m_summary;
};

class KeywordsFail : public StoredSummary {
public:
    using StoredSummary::StoredSummary;
    bool Keywords(std::string&) override { return false; }
};

SummaryValues everyProperty()
{
    using namespace std::chrono;
    SummaryValues v;
    v.Title = "T"; v.Subject = "Su"; v.Author = "Au"; v.Keywords = "K"; v.Comments = "Co";
    v.Template = "Te"; v.LastSavedBy = "L"; v.TotalEditTime = 7;
    v.DateLastPrinted = std::nullopt;
    v.DateCreated = Seconds(sys_days(year(2020) / 1 / 2) + hours(3) + minutes(4) + seconds(5));
    v.DateLastSaved = Seconds(sys_days(year(2021) / 6 / 7));
    v.PageCount = 1; v.WordCount = -2; v.CharCount = 3; v.AppName = "Ap"; v.Category = "Ca";
    v.PresentationFormat = "P"; v.ByteCount = 0; v.LineCount = 5; v.ParagraphCount = 6;
    v.SlideCount = 8; v.NoteCount = 9; v.HiddenSlides = 10; v.MultimediaClips = 11;
    v.Manager = "M"; v.Company = "C"; v.CharCountWithSpaces = 12; v.Shared = true; v.Version = "16.0000";
    return v;
}

class Extraction : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
        std::setlocale(LC_ALL, "C.UTF-8");
        services.createFileSystem = [] { return std::make_unique<StatxFileSystem>(); };
        services.digests = &digests;
        services.createDocumentComponent = [this]() -> std::unique_ptr<DocumentPropertiesComponent> {
            ++componentsCreated;
            return std::make_unique<FakeComponent>(nextSummary);
        };
    }

    void examine(RecordingWindow& window, const std::string& path)
    {
        window.CurrentPath = path;
        window.PathList = {path, ""};
        ExtractFile(window, services);
    }

    TempFolder folder;
    FakeDigests digests;
    ExtractionServices services;
    std::shared_ptr<DocumentSummary> nextSummary;
    int componentsCreated = 0;
};

std::vector<std::string> clearingLog()
{
    const char* order[] = {"FileName", "FilePath", "CreateDate", "LastModified", "LastAccessed", "FileSize",
                           "MD5", "Sha1", "Sha256", "AppName", "Author", "ByteCount", "Category", "CharCount",
                           "CharCountWithSpaces", "Comments", "Company", "DateCreated", "DateLastPrinted",
                           "DateLastSaved", "HiddenSlides", "Keywords", "LastSavedBy", "LineCount", "Manager",
                           "MultimediaClips", "NoteCount", "PageCount", "ParagraphCount", "PresentationFormat",
                           "Shared", "SlideCount", "Subject", "Template", "Title", "TotalEditTime", "Version",
                           "WordCount"};
    std::vector<std::string> log;
    for (const char* name : order) {
        log.push_back(std::string("set ") + name + "=");
        log.push_back("untick " + std::string(CatalogueRow(*FieldIdFromName(name)).tickName));
    }
    return log;
}

} // namespace

TEST_F(Extraction, OneRunTalksToTheWindowInTheFixedOrder)
{
    const std::string file = folder.write("a.txt", "hello");
    const struct timespec times[2] = {{1577934245, 0}, {1577934245, 0}}; // 2020-01-02 03:04:05
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    nextSummary = std::make_shared<StoredSummary>(everyProperty());

    RecordingWindow window;
    examine(window, file);

    std::vector<std::string> expected = clearingLog();
    const std::string created = window.text(FieldId::CreateDate);
    for (const std::string line : {"set MD5=Waiting ...", "set Sha1=Waiting ...", "set Sha256=Waiting ...",
                                   "set FileName=a.txt"})
        expected.push_back(line);
    expected.push_back("set FilePath=" + file);
    expected.push_back("set CreateDate=" + created);
    for (const std::string line :
         {"set LastModified=01/02/2020 03:04:05", "set LastAccessed=01/02/2020 03:04:05", "set FileSize=5",
          "set MD5=Calculating ...", "yield", "set MD5=digest0(a.txt)", "yield",
          "set Sha1=Calculating ...", "yield", "set Sha1=digest1(a.txt)", "yield",
          "set Sha256=Calculating ...", "yield", "set Sha256=digest2(a.txt)", "yield",
          "set AppName=Ap", "set Author=Au", "set ByteCount=0", "set Category=Ca", "set CharCount=3",
          "set CharCountWithSpaces=12", "set Comments=Co", "set Company=C",
          "set DateCreated=01/02/2020 03:04:05", "set DateLastPrinted=", "set DateLastSaved=06/07/2021",
          "set HiddenSlides=10", "set Keywords=K", "set LastSavedBy=L", "set LineCount=5", "set Manager=M",
          "set MultimediaClips=11", "set NoteCount=9", "set PageCount=1", "set ParagraphCount=6",
          "set PresentationFormat=P", "set Shared=True", "set SlideCount=8", "set Subject=Su",
          "set Template=Te", "set Title=T", "set TotalEditTime=7", "set Version=16.0000", "set WordCount=-2"})
        expected.push_back(line);
    EXPECT_EQ(window.log, expected);
    EXPECT_EQ(window.yields, 6);
    EXPECT_FALSE(window.Ended());
    EXPECT_EQ(digests.calls, (std::vector<std::string>{"0:" + file + ":-1", "1:" + file + ":-1", "2:" + file + ":-1"}));
}

TEST_F(Extraction, ADropInsideAYieldTakesTheRestOfTheRunOver)
{
    const std::string first = folder.write("first.txt", "1");
    const std::string second = folder.write("second.txt", "22");
    RecordingWindow window;
    bool dropped = false;
    window.onYield = [&](int yield) {
        if (yield == 1 && !dropped) {
            dropped = true;
            window.CurrentPath = second;
            window.PathList = {second, ""};
            ExtractFile(window, services);
        }
    };
    examine(window, first);
    // The nested run filled everything for the second file; the interrupted run went on with
    // the path it finds now, so nothing of the first file is left.
    EXPECT_EQ(window.text(FieldId::FileName), "second.txt");
    EXPECT_EQ(window.text(FieldId::FileSize), "2");
    EXPECT_EQ(window.text(FieldId::MD5), "digest0(second.txt)");
    EXPECT_EQ(window.text(FieldId::Sha1), "digest1(second.txt)");
    EXPECT_EQ(window.text(FieldId::Sha256), "digest2(second.txt)");
    EXPECT_EQ(window.yields, 12);
    EXPECT_EQ(std::count(digests.calls.begin(), digests.calls.end(), "0:" + second + ":-1"), 2);
    EXPECT_EQ(std::count_if(digests.calls.begin(), digests.calls.end(),
                            [&](const std::string& c) { return c.find("first.txt") != std::string::npos; }),
              0);
}

TEST_F(Extraction, EndingInsideAYieldStopsTheRun)
{
    const std::string file = folder.write("a.txt", "x");
    RecordingWindow window;
    window.onYield = [&](int yield) {
        if (yield == 2)
            window.EndProgram(0);
    };
    examine(window, file);
    EXPECT_EQ(window.text(FieldId::MD5), "digest0(a.txt)");
    EXPECT_EQ(window.text(FieldId::Sha1), "Waiting ...");
    EXPECT_EQ(digests.calls.size(), 1u);
    EXPECT_EQ(componentsCreated, 0);
}

TEST_F(Extraction, RefusedPathsShowOneMessageAndEndTheProgram)
{
    const std::string missing = (folder.path() / "missing.doc").string();
    const std::string fifo = (folder.path() / "pipe").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string socketLike = (folder.path() / "dev-null-link").string();
    ASSERT_EQ(symlink("/dev/null", socketLike.c_str()), 0);

    for (const std::string& path : {missing, fifo, socketLike}) {
        RecordingWindow window;
        window.ticks.fill(true);
        examine(window, path);
        EXPECT_EQ(window.messages, std::vector<std::string>{"Invalid file path: " + path});
        EXPECT_TRUE(window.Ended());
        EXPECT_EQ(window.endStatus, 1);
        // Every box empty and every tick clear while the message is shown.
        EXPECT_TRUE(std::all_of(window.texts.begin(), window.texts.end(), [](auto& t) { return t.empty(); }));
        EXPECT_TRUE(std::none_of(window.ticks.begin(), window.ticks.end(), [](bool t) { return t; }));
        EXPECT_TRUE(digests.calls.empty());
    }

    RecordingWindow window;
    examine(window, folder.path().string());
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0], std::string(kFolderNoticeText) + folder.path().string());
    EXPECT_EQ(window.endStatus, 1);
}

TEST_F(Extraction, AFileOfZeroBytes)
{
    const std::string file = folder.write("empty", "");
    RecordingWindow window;
    services.digests = nullptr;
    OpenSslDigests real;
    services.digests = &real;
    examine(window, file);
    EXPECT_EQ(window.text(FieldId::FileSize), "0");
    EXPECT_EQ(window.text(FieldId::MD5), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(window.text(FieldId::Sha256), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST_F(Extraction, ARelativePathIsUsedAsGivenAndShownInFull)
{
    const std::string file = folder.write("rel.txt", "r");
    std::filesystem::create_directory(folder.path() / "sub");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    RecordingWindow window;
    examine(window, "./sub/../rel.txt");
    std::filesystem::current_path(previous);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.text(FieldId::FileName), "rel.txt");
    EXPECT_EQ(window.text(FieldId::FilePath), file);
    EXPECT_EQ(window.CurrentPath, "./sub/../rel.txt");
    EXPECT_EQ(digests.calls.front(), "0:./sub/../rel.txt:-1");
}

TEST_F(Extraction, MidnightTimeStampsShowTheDateAlone)
{
    const std::string file = folder.write("m", "m");
    const struct timespec times[2] = {{1577923200, 0}, {1577923201, 0}}; // 2020-01-02 00:00:00 and :01
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    RecordingWindow window;
    examine(window, file);
    EXPECT_EQ(window.text(FieldId::LastAccessed), "01/02/2020");
    EXPECT_EQ(window.text(FieldId::LastModified), "01/02/2020 00:00:01");
}

TEST_F(Extraction, ANameThatIsNotValidUtf8IsExaminedByItsBytes)
{
    const std::string file = folder.write("r\xE9sum\xE9.doc", "bytes");
    RecordingWindow window;
    examine(window, file);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.text(FieldId::FileName), "r\xE9sum\xE9.doc");
    EXPECT_EQ(window.text(FieldId::FileSize), "5");
}

TEST_F(Extraction, ASecondFileKeepsNothingOfTheFirst)
{
    const std::string doc = folder.write("doc", "d");
    const std::string other = folder.write("other", "o");
    nextSummary = std::make_shared<StoredSummary>(everyProperty());
    RecordingWindow window;
    examine(window, doc);
    EXPECT_EQ(window.text(FieldId::Title), "T");
    window.ticks.fill(true);
    DocumentPropertiesComponent* firstDocument = window.CurrentDocument.get();

    nextSummary = nullptr; // the component cannot open the second file
    examine(window, other);
    EXPECT_NE(window.CurrentDocument.get(), firstDocument);
    EXPECT_EQ(componentsCreated, 2);
    for (const FieldRow& row : FieldCatalogue()) {
        if (row.frame == Frame::OLE && row.id != FieldId::FileName) {
            EXPECT_EQ(window.text(row.id), "") << row.idName;
        }
        EXPECT_FALSE(window.ticks[std::size_t(row.id)]) << row.idName;
    }
    EXPECT_EQ(window.text(FieldId::FileName), "other");
}

TEST_F(Extraction, AFailingGetterEndsTheFillingAtItsRow)
{
    const std::string file = folder.write("doc", "d");
    nextSummary = std::make_shared<KeywordsFail>(everyProperty());
    RecordingWindow window;
    examine(window, file);
    EXPECT_EQ(window.text(FieldId::AppName), "Ap");
    EXPECT_EQ(window.text(FieldId::HiddenSlides), "10");
    EXPECT_EQ(window.text(FieldId::DateLastSaved), "06/07/2021");
    for (FieldId later : {FieldId::Keywords, FieldId::LastSavedBy, FieldId::Title, FieldId::Version, FieldId::WordCount})
        EXPECT_EQ(window.text(later), "") << CatalogueRow(later).idName;
    EXPECT_FALSE(window.text(FieldId::Sha256).empty());
}

TEST_F(Extraction, WithoutAComponentTheDocumentFieldsStayEmptyAndTheLastDocumentIsKept)
{
    const std::string file = folder.write("doc", "d");
    nextSummary = std::make_shared<StoredSummary>(everyProperty());
    RecordingWindow window;
    examine(window, file);
    DocumentPropertiesComponent* held = window.CurrentDocument.get();
    ASSERT_NE(held, nullptr);

    services.createDocumentComponent = [] { return std::unique_ptr<DocumentPropertiesComponent>(); };
    examine(window, file);
    EXPECT_EQ(window.CurrentDocument.get(), held);
    EXPECT_EQ(window.text(FieldId::Title), "");
    EXPECT_FALSE(window.text(FieldId::MD5).empty());
    EXPECT_TRUE(window.messages.empty());
}

namespace {

// A file system whose file vanishes between the existence test and the status read.
class VanishingFileSystem : public FileSystemService {
public:
    bool FileExists(const std::string&) override { return true; }
    bool FolderExists(const std::string&) override { return false; }
    std::variant<FileObject, FileStatusError> GetFile(const std::string&) override
    {
        return FileStatusError{"No such file or directory"};
    }
};

} // namespace

TEST_F(Extraction, AFileThatVanishesIsReportedAndTheProgramGoesOn)
{
    services.createFileSystem = [] { return std::make_unique<VanishingFileSystem>(); };
    RecordingWindow window;
    examine(window, "/gone.doc");
    EXPECT_EQ(window.messages,
              std::vector<std::string>{"The status of /gone.doc cannot be read: No such file or directory"});
    EXPECT_FALSE(window.Ended());
    EXPECT_TRUE(std::all_of(window.texts.begin(), window.texts.end(), [](auto& t) { return t.empty(); }));
    EXPECT_TRUE(digests.calls.empty());
}
