#include "CompoundDocument.h"

#include "CompoundFile.h"
#include "PropertySet.h"
#include "docprops/CodePage.h"
#include "docprops/CustomCaps.h"

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
constexpr std::u16string_view kHwpSummaryInformationName = u"\u0005HwpSummaryInformation";

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

// An instant from a FILETIME property.
std::optional<DocumentDate> dateOf(std::optional<std::uint64_t> ticks)
{
    const auto when = ticks ? FiletimeSeconds(*ticks) : std::nullopt;
    if (!when)
        return std::nullopt;
    return DocumentDate{*when, DateZone::Given};
}

// The editing time is stored as a FILETIME span; we show whole minutes.
std::optional<std::int32_t> minutesOf(std::optional<std::uint64_t> ticks)
{
    if (!ticks)
        return std::nullopt;
    constexpr std::uint64_t kTicksPerMinute = 60 * 10'000'000ull;
    const std::uint64_t minutes = *ticks / kTicksPerMinute;
    return std::int32_t(std::min<std::uint64_t>(minutes, std::numeric_limits<std::int32_t>::max()));
}

// The major version in the high half, the minor in the low half, as "11.8169".
std::optional<std::string> versionOf(std::optional<std::int32_t> stored)
{
    if (!stored)
        return std::nullopt;
    const auto value = std::uint32_t(*stored);
    char text[16];
    std::snprintf(text, sizeof text, "%u.%04u", unsigned(value >> 16), unsigned(value & 0xFFFF));
    return std::string(text);
}

template <typename T>
void setIf(DocumentProperties& p, FieldId field, std::optional<T> value)
{
    if (value)
        p.set(field, std::move(*value));
}

void setDate(DocumentProperties& p, FieldId field, std::optional<std::uint64_t> ticks)
{
    if (const auto date = dateOf(ticks))
        p.set(field, *date);
}

void readSummaryInformation(const PropertySection& s, DocumentProperties& p)
{
    setIf(p, FieldId::Title, s.text(PIDSI_TITLE));
    setIf(p, FieldId::Subject, s.text(PIDSI_SUBJECT));
    setIf(p, FieldId::Author, s.text(PIDSI_AUTHOR));
    setIf(p, FieldId::Keywords, s.text(PIDSI_KEYWORDS));
    setIf(p, FieldId::Comments, s.text(PIDSI_COMMENTS));
    setIf(p, FieldId::Template, s.text(PIDSI_TEMPLATE));
    setIf(p, FieldId::LastSavedBy, s.text(PIDSI_LASTAUTHOR));
    setIf(p, FieldId::TotalEditTime, minutesOf(s.filetime(PIDSI_EDITTIME)));
    setDate(p, FieldId::DateLastPrinted, s.filetime(PIDSI_LASTPRINTED));
    setDate(p, FieldId::DateCreated, s.filetime(PIDSI_CREATE_DTM));
    setDate(p, FieldId::DateLastSaved, s.filetime(PIDSI_LASTSAVE_DTM));
    setIf(p, FieldId::PageCount, s.integer(PIDSI_PAGECOUNT));
    setIf(p, FieldId::WordCount, s.integer(PIDSI_WORDCOUNT));
    setIf(p, FieldId::CharCount, s.integer(PIDSI_CHARCOUNT));
    setIf(p, FieldId::AppName, s.text(PIDSI_APPNAME));
}

void readDocumentSummaryInformation(const PropertySection& s, DocumentProperties& p)
{
    setIf(p, FieldId::Category, s.text(PIDDSI_CATEGORY));
    setIf(p, FieldId::PresentationFormat, s.text(PIDDSI_PRESFORMAT));
    setIf(p, FieldId::ByteCount, s.integer(PIDDSI_BYTECOUNT));
    setIf(p, FieldId::LineCount, s.integer(PIDDSI_LINECOUNT));
    setIf(p, FieldId::ParagraphCount, s.integer(PIDDSI_PARACOUNT));
    setIf(p, FieldId::SlideCount, s.integer(PIDDSI_SLIDECOUNT));
    setIf(p, FieldId::NoteCount, s.integer(PIDDSI_NOTECOUNT));
    setIf(p, FieldId::HiddenSlides, s.integer(PIDDSI_HIDDENCOUNT));
    setIf(p, FieldId::MultimediaClips, s.integer(PIDDSI_MMCLIPCOUNT));
    setIf(p, FieldId::Manager, s.text(PIDDSI_MANAGER));
    setIf(p, FieldId::Company, s.text(PIDDSI_COMPANY));
    setIf(p, FieldId::CharCountWithSpaces, s.integer(PIDDSI_CCHWITHSPACES));
    setIf(p, FieldId::Shared, s.boolean(PIDDSI_SHAREDDOC));
    setIf(p, FieldId::Version, versionOf(s.integer(PIDDSI_VERSION)));
}

// The user-defined properties: the dictionary names them, the section holds their values.
void readUserDefined(const PropertySection& s, DocumentProperties& p)
{
    const auto names = s.dictionary(kMaxCustomProperties + 1);
    if (!names) {
        p.note(DiagnosticKind::Damaged, "the user-defined properties have no readable dictionary");
        return;
    }
    for (const auto& [id, name] : *names) {
        if (p.custom.size() == kMaxCustomProperties) {
            p.note(DiagnosticKind::OverCap, "more than " + std::to_string(kMaxCustomProperties)
                                                + " user-defined properties; the rest are not read");
            break;
        }
        if (auto value = s.typed(id))
            p.custom.push_back({CapCustomText(name), CapCustomValue(std::move(*value))});
    }
}

void noteCodePage(const PropertySection& s, std::string_view set, DocumentProperties& p)
{
    if (!CodePageConvertible(s.codePage()))
        p.note(DiagnosticKind::CodePage, std::string(set) + " is in code page " + std::to_string(s.codePage())
                                             + ", which cannot be converted; its texts are read as Windows-1252");
}

// The section of `format` in a property stream, noting why when the stream or the section
// cannot be read. No value, and nothing noted, when the stream is not there.
std::optional<PropertySection> readSet(CompoundFile& file, std::u16string_view stream, std::string_view set,
                                       const FormatId& format, DocumentProperties& p,
                                       std::optional<std::vector<std::byte>>& bytes)
{
    bytes = file.readRootStream(stream, kMaxPropertyStreamBytes);
    if (!bytes) {
        if (!file.fault().empty())
            p.note(DiagnosticKind::Damaged, "the " + std::string(set) + " stream: " + file.fault());
        return std::nullopt;
    }
    if (file.lastStreamSize() > kMaxPropertyStreamBytes)
        p.note(DiagnosticKind::OverCap, "the " + std::string(set) + " stream: it holds "
                                            + std::to_string(file.lastStreamSize()) + " bytes; only the first "
                                            + std::to_string(kMaxPropertyStreamBytes) + " are read");
    std::string fault;
    auto section = PropertySection::read(*bytes, format, fault);
    if (!section) {
        p.note(DiagnosticKind::Damaged, "the " + std::string(set) + " stream: "
                                            + (fault.empty() ? "it has no section of its format" : fault));
        return std::nullopt;
    }
    noteCodePage(*section, "the " + std::string(set) + " set", p);
    return section;
}

// An encrypted Office document is a compound file holding the encrypted package; its
// EncryptionInfo stream starts with the version that names the kind of encryption.
void noteEncryption(CompoundFile& file, DocumentProperties& p)
{
    const auto info = file.readRootStream(u"EncryptionInfo", 8);
    if (!info)
        return;
    const BoundedReader in(*info);
    const auto major = in.u16(0), minor = in.u16(2);
    std::string with = "with an unknown encryption";
    if (major && minor) {
        if (*major == 4 && *minor == 4)
            with = "with agile encryption";
        else if ((*major == 3 || *major == 4) && *minor == 2)
            with = "with standard encryption";
        else if ((*major == 3 || *major == 4) && *minor == 3)
            with = "with extensible encryption";
        else if (*major == 1 && *minor == 1)
            with = "with RC4 encryption";
    }
    p.note(DiagnosticKind::Encrypted, "an encrypted package " + with + "; only its unencrypted properties are read");
}

} // namespace

DocumentProperties ReadCompoundDocument(const ByteSource& source)
{
    DocumentProperties properties;
    std::string fault;
    auto file = CompoundFile::open(source, fault);
    if (!file) {
        if (fault.empty())
            properties.note(DiagnosticKind::NotADocument, {});
        else
            properties.note(DiagnosticKind::Damaged, fault);
        return properties;
    }
    properties.opened = true;
    properties.format = "compound";
    // A missing or broken set leaves its properties at their empty values; the other set
    // is read all the same. Hangul word processor files keep their summary set under a name
    // and format of their own.
    std::optional<std::vector<std::byte>> bytes;
    if (const auto summary = readSet(*file, kSummaryInformationName, "SummaryInformation",
                                     kFmtidSummaryInformation, properties, bytes))
        readSummaryInformation(*summary, properties);
    else if (const auto hwp = readSet(*file, kHwpSummaryInformationName, "HwpSummaryInformation",
                                      kFmtidHwpSummaryInformation, properties, bytes))
        readSummaryInformation(*hwp, properties);
    if (const auto documentSummary = readSet(*file, kDocumentSummaryInformationName, "DocumentSummaryInformation",
                                             kFmtidDocSummaryInformation, properties, bytes)) {
        readDocumentSummaryInformation(*documentSummary, properties);
        std::string ignored;
        if (const auto user = PropertySection::read(*bytes, kFmtidUserDefinedProperties, ignored)) {
            noteCodePage(*user, "the user-defined set", properties);
            readUserDefined(*user, properties);
        }
    }
    noteEncryption(*file, properties);
    return properties;
}

} // namespace tallyglass
