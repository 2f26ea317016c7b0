#include "ZipPackage.h"

#include <zip.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace tallyglass {

struct ZipPackage::SourceState {
    explicit SourceState(const ByteSource& s) : source(s) { zip_error_init(&error); }
    ~SourceState() { zip_error_fini(&error); }
    SourceState(const SourceState&) = delete;
    SourceState& operator=(const SourceState&) = delete;

    const ByteSource& source;
    std::uint64_t position = 0;
    zip_error_t error;
};

namespace {

using SourceState = ZipPackage::SourceState;

// The end-of-central-directory record: its fixed part, and how far before the end of the
// file it may stand (its comment is at most 65535 bytes long).
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kEndRecordSearch = kEndRecordSize + 0xFFFF;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kZip64EndRecordSize = 56;
// A part is inflated in pieces of this size; the last piece is cut to end one byte past the cap.
constexpr std::size_t kReadChunk = 64 * 1024;

std::uint64_t littleEndian(const std::byte* p, int bytes)
{
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | std::uint64_t(p[i]);
    return value;
}

bool hasSignature(const std::byte* p, unsigned char third, unsigned char fourth)
{
    return p[0] == std::byte{'P'} && p[1] == std::byte{'K'} && p[2] == std::byte{third} &&
           p[3] == std::byte{fourth};
}

// libzip allocates a record for every entry that the end record declares before it reads a
// single one, so the count is checked first, in every candidate end record that libzip might
// choose (a comment can hold more signatures), including the 64-bit record of zip64 archives.
bool declaredEntriesWithinCap(const ByteSource& source)
{
    const std::uint64_t size = source.size();
    const std::size_t tailSize = std::size_t(std::min<std::uint64_t>(size, kEndRecordSearch));
    std::vector<std::byte> tail(tailSize);
    if (!source.readAt(size - tailSize, tail))
        return false;
    for (std::size_t at = 0; at + kEndRecordSize <= tailSize; ++at) {
        const std::byte* record = tail.data() + at;
        if (!hasSignature(record, 5, 6))
            continue;
        const std::uint64_t entries = littleEndian(record + 10, 2);
        if (entries > ZipPackage::kMaxEntries)
            return false;
        if (entries != 0xFFFF || at < kZip64LocatorSize)
            continue;
        const std::byte* locator = record - kZip64LocatorSize;
        if (!hasSignature(locator, 6, 7))
            continue;
        std::array<std::byte, kZip64EndRecordSize> end64{};
        if (!source.readAt(littleEndian(locator + 8, 8), end64))
            continue;
        if (hasSignature(end64.data(), 6, 6) &&
            littleEndian(end64.data() + 32, 8) > ZipPackage::kMaxEntries)
            return false;
    }
    return true;
}

zip_int64_t sourceCallback(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto& state = *static_cast<SourceState*>(userdata);
    const std::uint64_t size = state.source.size();
    switch (command) {
    case ZIP_SOURCE_OPEN:
        state.position = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const std::uint64_t count = std::min<std::uint64_t>(length, size - std::min(state.position, size));
        if (count > 0 &&
            !state.source.readAt(state.position, {static_cast<std::byte*>(data), std::size_t(count)})) {
            zip_error_set(&state.error, ZIP_ER_READ, 0);
            return -1;
        }
        state.position += count;
        return zip_int64_t(count);
    }
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &state.error);
        if (st == nullptr)
            return -1;
        zip_stat_init(st);
        st->size = size;
        st->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&state.error, data, length);
    case ZIP_SOURCE_SEEK: {
        const zip_int64_t to = zip_source_seek_compute_offset(state.position, size, data, length, &state.error);
        if (to < 0)
            return -1;
        state.position = std::uint64_t(to);
        return 0;
    }
    case ZIP_SOURCE_TELL:
        return zip_int64_t(state.position);
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                              ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_SUPPORTS, -1);
    default:
        zip_error_set(&state.error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

// ASCII case folding only: part names that differ in other letters are different parts.
bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

std::string encryptionName(std::uint16_t method)
{
    switch (method) {
    case ZIP_EM_TRAD_PKWARE: return "traditional PKWARE encryption";
    case ZIP_EM_AES_128: return "AES-128 encryption";
    case ZIP_EM_AES_192: return "AES-192 encryption";
    case ZIP_EM_AES_256: return "AES-256 encryption";
    default: return "encryption method " + std::to_string(method);
    }
}

} // namespace

ZipPackage::ZipPackage(std::unique_ptr<SourceState> state, zip* archive)
    : m_state(std::move(state)), m_archive(archive)
{
}

ZipPackage::~ZipPackage()
{
    // Discarding never writes: the archive was opened read-only and nothing was changed.
    zip_discard(m_archive);
}

std::unique_ptr<ZipPackage> ZipPackage::open(const ByteSource& source, DocumentProperties* notes)
{
    const auto note = [notes](DiagnosticKind kind, std::string detail) {
        if (notes != nullptr)
            notes->note(kind, std::move(detail));
    };
    if (!declaredEntriesWithinCap(source)) {
        note(DiagnosticKind::OverCap, "the zip directory declares more than " + std::to_string(kMaxEntries) + " entries");
        return nullptr;
    }
    auto state = std::make_unique<SourceState>(source);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* zipSource = zip_source_function_create(sourceCallback, state.get(), &error);
    if (zipSource == nullptr) {
        zip_error_fini(&error);
        return nullptr;
    }
    zip_t* archive = zip_open_from_source(zipSource, ZIP_RDONLY, &error);
    if (archive == nullptr) {
        note(DiagnosticKind::Damaged, std::string("the zip archive cannot be followed: ") + zip_error_strerror(&error));
        zip_error_fini(&error);
        zip_source_free(zipSource);
        return nullptr;
    }
    zip_error_fini(&error);
    const zip_int64_t entries = zip_get_num_entries(archive, 0);
    if (entries < 0 || std::uint64_t(entries) > kMaxEntries) {
        note(DiagnosticKind::OverCap, "the zip directory holds more than " + std::to_string(kMaxEntries) + " entries");
        zip_discard(archive);
        return nullptr;
    }
    return std::unique_ptr<ZipPackage>(new ZipPackage(std::move(state), archive));
}

std::optional<std::uint64_t> ZipPackage::locate(std::string_view name, bool ignoreCase) const
{
    // libzip takes zero-terminated names; a name with a zero byte in it names no entry,
    // rather than the entry named by its first part.
    if (name.find('\0') != std::string_view::npos)
        return std::nullopt;
    const std::string zeroTerminated(name);
    const zip_int64_t exact = zip_name_locate(m_archive, zeroTerminated.c_str(), 0);
    if (exact >= 0)
        return std::uint64_t(exact);
    if (!ignoreCase)
        return std::nullopt;
    // The entry count is capped at open, so this walk is bounded.
    const zip_int64_t entries = zip_get_num_entries(m_archive, 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char* entryName = zip_get_name(m_archive, zip_uint64_t(i), 0);
        if (entryName != nullptr && equalIgnoringCase(entryName, name))
            return std::uint64_t(i);
    }
    return std::nullopt;
}

bool ZipPackage::hasEntry(std::string_view name, bool ignoreCase) const
{
    return locate(name, ignoreCase).has_value();
}

std::optional<std::string> ZipPackage::readPart(std::string_view name, bool ignoreCase,
                                               DocumentProperties* notes) const
{
    const auto index = locate(name, ignoreCase);
    if (!index)
        return std::nullopt;
    const std::string part = "part " + std::string(name);
    const auto refuse = [&](DiagnosticKind kind, std::string detail) -> std::optional<std::string> {
        if (notes != nullptr)
            notes->note(kind, part + ": " + detail);
        return std::nullopt;
    };
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(m_archive, *index, 0, &st) != 0)
        return refuse(DiagnosticKind::Damaged, "its directory entry cannot be read");
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
        return refuse(DiagnosticKind::Encrypted, "with " + encryptionName(st.encryption_method));
    if ((st.valid & ZIP_STAT_SIZE) && st.size > kMaxPartBytes)
        return refuse(DiagnosticKind::OverCap, "it declares " + std::to_string(st.size) + " bytes, more than "
                                                   + std::to_string(kMaxPartBytes));

    zip_file_t* file = zip_fopen_index(m_archive, *index, 0);
    if (file == nullptr) {
        zip_error_t* error = zip_get_error(m_archive);
        return refuse(DiagnosticKind::Damaged, std::string("it cannot be opened: ") + zip_error_strerror(error));
    }
    // The declared size is only a claim: the inflated bytes are counted as they come, and one
    // byte past the cap is enough to know the part is too large.
    std::string content;
    bool ok = true;
    while (content.size() <= kMaxPartBytes) {
        const std::size_t had = content.size();
        const std::size_t want = std::min<std::size_t>(kReadChunk, kMaxPartBytes + 1 - had);
        content.resize(had + want);
        const zip_int64_t n = zip_fread(file, content.data() + had, want);
        content.resize(had + std::size_t(std::max<zip_int64_t>(n, 0)));
        if (n <= 0) {
            ok = n == 0;
            break;
        }
    }
    std::string failure;
    if (!ok)
        failure = std::string("it cannot be inflated: ") + zip_error_strerror(zip_file_get_error(file));
    zip_fclose(file);
    if (!ok)
        return refuse(DiagnosticKind::Damaged, failure);
    if (content.size() > kMaxPartBytes)
        return refuse(DiagnosticKind::OverCap, "it inflates to more than " + std::to_string(kMaxPartBytes) + " bytes");
    return content;
}

} // namespace tallyglass
