#include "CompoundFile.h"
#include "DocumentReader.h"
#include "PropertySet.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace tallyglass {

namespace {

// Property sets are a few KB; a thumbnail may make the summary set a few hundred KB. Only
// this much of a stream is read, so a huge stream costs no more; properties beyond it count
// as missing.
constexpr std::uint64_t kMaxPropertyStreamBytes = 4 << 20;

constexpr std::u16string_view kSummaryInformationName = u"\u0005SummaryInformation";
constexpr std::u16string_view kDocumentSummaryInformationName = u"\u0005DocumentSummaryInformation";

// Property identifiers of the Summary Information set.
enum : std::uint32_t {
    PIDSI_TITLE = 2, PIDSI_SUBJECT = 3, PIDSI_AUTHOR = 4, PIDSI_KEYWORDS = 5, PIDSI_COMMENTS = 6,
    PIDSI_TEMPLATE = 7, PIDSI_LASTAUTHOR = 8, PIDSI_EDITTIME = 10, PIDSI_LASTPRINTED = 11,
    PIDSI_CREATE_DTM = 12, PIDSI_LASTSAVE_DTM = 13, PIDSI_PAGECOUNT = 14, PIDSI_WORDCOUNT = 15,
    PIDSI_CHARCOUNT = 16, PIDSI_APPNAME = 18,
};

// Property identifiers of the Document Summary Information set.
enum : std::uint32_t {
    PIDDSI_CATEGORY = 2, PIDDSI_PRESFORMAT = 3, PIDDSI_BYTECOUNT = 4, PIDDSI_LINECOUNT = 5,
    PIDDSI_PARACOUNT = 6, PIDDSI_SLIDECOUNT = 7, PIDDSI_NOTECOUNT = 8, PIDDSI_HIDDENCOUNT = 9,
    PIDDSI_MMCLIPCOUNT = 10, PIDDSI_MANAGER = 14, PIDDSI_COMPANY = 15, PIDDSI_CCHWITHSPACES = 17,
    PIDDSI_SHAREDDOC = 19, PIDDSI_VERSION = 23,
};

// FILETIME counts 100-nanosecond ticks from 1601-01-01 UTC.
constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
// The last second of the year 9999: later dates have no four-digit year to show.
constexpr std::int64_t kLastShownSecond = 253'402'300'799;

OleDate dateOf(std::optional<std::uint64_t> ticks)
{
    if (!ticks || *ticks == 0)
        return std::nullopt;
    const std::int64_t unixSeconds = std::int64_t(*ticks / kTicksPerSecond) - kSecondsFrom1601To1970;
    if (unixSeconds > kLastShownSecond)
        return std::nullopt;
    return Seconds(std::chrono::seconds(unixSeconds));
}

// The editing time is stored as a FILETIME span; we show whole minutes.
std::int32_t minutesOf(std::optional<std::uint64_t> ticks)
{
    if (!ticks)
        return 0;
    const std::uint64_t minutes = *ticks / (60 * kTicksPerSecond);
    return std::int32_t(std::min<std::uint64_t>(minutes, std::numeric_limits<std::int32_t>::max()));
}

// The major version in the high half, the minor in the low half, as "11.8169".
std::string versionOf(std::optional<std::int32_t> stored)
{
    if (!stored)
        return {};
    const auto value = std::uint32_t(*stored);
    char text[16];
    std::snprintf(text, sizeof text, "%u.%04u", unsigned(value >> 16), unsigned(value & 0xFFFF));
    return text;
}

void readSummaryInformation(const PropertySection& s, SummaryValues& v)
{
    v.Title = s.text(PIDSI_TITLE).value_or("");
    v.Subject = s.text(PIDSI_SUBJECT).value_or("");
    v.Author = s.text(PIDSI_AUTHOR).value_or("");
    v.Keywords = s.text(PIDSI_KEYWORDS).value_or("");
    v.Comments = s.text(PIDSI_COMMENTS).value_or("");
    v.Template = s.text(PIDSI_TEMPLATE).value_or("");
    v.LastSavedBy = s.text(PIDSI_LASTAUTHOR).value_or("");
    v.TotalEditTime = minutesOf(s.filetime(PIDSI_EDITTIME));
    v.DateLastPrinted = dateOf(s.filetime(PIDSI_LASTPRINTED));
    v.DateCreated = dateOf(s.filetime(PIDSI_CREATE_DTM));
    v.DateLastSaved = dateOf(s.filetime(PIDSI_LASTSAVE_DTM));
    v.PageCount = s.integer(PIDSI_PAGECOUNT).value_or(0);
    v.WordCount = s.integer(PIDSI_WORDCOUNT).value_or(0);
    v.CharCount = s.integer(PIDSI_CHARCOUNT).value_or(0);
    v.AppName = s.text(PIDSI_APPNAME).value_or("");
}

void readDocumentSummaryInformation(const PropertySection& s, SummaryValues& v)
{
    v.Category = s.text(PIDDSI_CATEGORY).value_or("");
    v.PresentationFormat = s.text(PIDDSI_PRESFORMAT).value_or("");
    v.ByteCount = s.integer(PIDDSI_BYTECOUNT).value_or(0);
    v.LineCount = s.integer(PIDDSI_LINECOUNT).value_or(0);
    v.ParagraphCount = s.integer(PIDDSI_PARACOUNT).value_or(0);
    v.SlideCount = s.integer(PIDDSI_SLIDECOUNT).value_or(0);
    v.NoteCount = s.integer(PIDDSI_NOTECOUNT).value_or(0);
    v.HiddenSlides = s.integer(PIDDSI_HIDDENCOUNT).value_or(0);
    v.MultimediaClips = s.integer(PIDDSI_MMCLIPCOUNT).value_or(0);
    v.Manager = s.text(PIDDSI_MANAGER).value_or("");
    v.Company = s.text(PIDDSI_COMPANY).value_or("");
    v.CharCountWithSpaces = s.integer(PIDDSI_CCHWITHSPACES).value_or(0);
    v.Shared = s.boolean(PIDDSI_SHAREDDOC).value_or(false);
    v.Version = versionOf(s.integer(PIDDSI_VERSION));
}

} // namespace

std::optional<SummaryValues> ReadCompoundFileSummary(const ByteSource& source)
{
    auto file = CompoundFile::open(source);
    if (!file)
        return std::nullopt;
    // A missing or broken set leaves its properties at their empty values; the other set
    // is read all the same.
    SummaryValues values;
    if (const auto stream = file->readRootStream(kSummaryInformationName, kMaxPropertyStreamBytes)) {
        if (const auto section = PropertySection::read(*stream, kFmtidSummaryInformation))
            readSummaryInformation(*section, values);
    }
    if (const auto stream = file->readRootStream(kDocumentSummaryInformationName, kMaxPropertyStreamBytes)) {
        if (const auto section = PropertySection::read(*stream, kFmtidDocSummaryInformation))
            readDocumentSummaryInformation(*section, values);
    }
    return values;
}

} // namespace tallyglass
