#pragma once

// Builds zip packages in memory with libzip, and damages them in the ways hostile files do.

#include "ByteSource.h"
#include "DocumentProperties.h"
#include "SummaryValues.h"
#include "docprops/DocumentReader.h"
#include "TextForms.h"

#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tallyglass::testing {

struct Entry {
    std::string name;
    std::string content;
    bool deflate = true;
    const char* password = nullptr; // encrypted with traditional PKWARE encryption when set
};

inline std::vector<std::byte> BuildZip(const std::vector<Entry>& entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (archive == nullptr)
        throw std::runtime_error("zip_open_from_source failed");
    zip_source_keep(buffer);
    for (const Entry& entry : entries) {
        zip_source_t* data = zip_source_buffer(archive, entry.content.data(), entry.content.size(), 0);
        const zip_int64_t index = zip_file_add(archive, entry.name.c_str(), data, ZIP_FL_ENC_UTF_8);
        if (index < 0)
            throw std::runtime_error("zip_file_add failed: " + entry.name);
        zip_set_file_compression(archive, zip_uint64_t(index), entry.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
        if (entry.password != nullptr &&
            zip_file_set_encryption(archive, zip_uint64_t(index), ZIP_EM_TRAD_PKWARE, entry.password) != 0)
            throw std::runtime_error("zip_file_set_encryption failed");
    }
    if (zip_close(archive) != 0)
        throw std::runtime_error("zip_close failed");
    zip_stat_t st;
    zip_source_stat(buffer, &st);
    std::vector<std::byte> bytes(st.size);
    zip_source_open(buffer);
    zip_source_read(buffer, bytes.data(), bytes.size());
    zip_source_close(buffer);
    zip_source_free(buffer);
    zip_error_fini(&error);
    return bytes;
}

inline std::uint32_t ReadLe(const std::vector<std::byte>& bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | std::uint32_t(bytes.at(at + std::size_t(i)));
    return value;
}

inline void WriteLe(std::vector<std::byte>& bytes, std::size_t at, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.at(at + std::size_t(i)) = std::byte((value >> (8 * i)) & 0xFF);
}

inline std::size_t Find(const std::vector<std::byte>& bytes, std::string_view what, std::size_t from = 0)
{
    for (std::size_t i = from; i + what.size() <= bytes.size(); ++i) {
        if (std::memcmp(bytes.data() + i, what.data(), what.size()) == 0)
            return i;
    }
    throw std::runtime_error("not found");
}

// Where an entry's records stand: its central directory header and its local header.
struct EntryRecords {
    std::size_t central = 0;
    std::size_t local = 0;
    std::size_t data = 0; // first byte of the stored (compressed) data
};

inline EntryRecords Locate(const std::vector<std::byte>& bytes, const std::string& name)
{
    std::size_t at = 0;
    for (;;) {
        at = Find(bytes, std::string_view("PK\1\2", 4), at);
        const std::size_t nameLength = ReadLe(bytes, at + 28, 2);
        if (std::string_view(reinterpret_cast<const char*>(bytes.data()) + at + 46, nameLength) == name)
            break;
        ++at;
    }
    EntryRecords records;
    records.central = at;
    records.local = ReadLe(bytes, at + 42, 4);
    records.data = records.local + 30 + ReadLe(bytes, records.local + 26, 2) + ReadLe(bytes, records.local + 28, 2);
    return records;
}

// Makes both headers of an entry claim another uncompressed size.
inline void DeclareSize(std::vector<std::byte>& bytes, const std::string& name, std::uint32_t size)
{
    const EntryRecords records = Locate(bytes, name);
    WriteLe(bytes, records.central + 24, size, 4);
    WriteLe(bytes, records.local + 22, size, 4);
}

inline const std::string kContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/></Types>)";

inline std::string Relationships(const std::string& coreTarget, const std::string& appTarget)
{
    std::string rels = R"(<?xml version="1.0" encoding="UTF-8"?>)"
                       R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
                       R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>)";
    if (!coreTarget.empty())
        rels += R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target=")" +
                coreTarget + R"("/>)";
    if (!appTarget.empty())
        rels += R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties" Target=")" +
                appTarget + R"("/>)";
    return rels + "</Relationships>";
}

// A core properties part with the usual prefixes around `body`.
inline std::string CorePart(const std::string& body)
{
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
           R"(<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" )"
           R"(xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" )"
           R"(xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">)" +
           body + "</cp:coreProperties>";
}

inline std::string AppPart(const std::string& body)
{
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
           R"(<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties">)" +
           body + "</Properties>";
}

// A word-processing package with the properties parts at their usual names.
inline std::vector<Entry> OoxmlEntries(const std::string& core, const std::string& app)
{
    std::vector<Entry> entries = {{"[Content_Types].xml", kContentTypes},
                                  {"_rels/.rels", Relationships("docProps/core.xml", "docProps/app.xml")},
                                  {"word/document.xml", "<w:document/>"}};
    if (!core.empty())
        entries.push_back({"docProps/core.xml", core});
    if (!app.empty())
        entries.push_back({"docProps/app.xml", app});
    return entries;
}

inline std::string MetaPart(const std::string& body)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>)"
           R"(<office:document-meta xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
           R"(xmlns:xlink="http://www.w3.org/1999/xlink" xmlns:dc="http://purl.org/dc/elements/1.1/" )"
           R"(xmlns:meta="urn:oasis:names:tc:opendocument:xmlns:meta:1.0" office:version="1.3"><office:meta>)" +
           body + "</office:meta></office:document-meta>";
}

inline std::vector<Entry> OdfEntries(const std::string& meta)
{
    return {{"mimetype", "application/vnd.oasis.opendocument.text", false},
            {"content.xml", "<office:document-content/>"},
            {"meta.xml", meta},
            {"META-INF/manifest.xml", "<manifest:manifest/>"}};
}

// The 29 texts the window would show, by field name.
inline std::vector<std::pair<std::string, std::string>> FieldTexts(const SummaryValues& v)
{
    const auto date = [](const OleDate& d) { return d ? DateText(*d) : std::string(); };
    return {
        {"Title", v.Title}, {"Subject", v.Subject}, {"Author", v.Author}, {"Keywords", v.Keywords},
        {"Comments", v.Comments}, {"Template", v.Template}, {"LastSavedBy", v.LastSavedBy},
        {"TotalEditTime", DecimalText(v.TotalEditTime)}, {"DateLastPrinted", date(v.DateLastPrinted)},
        {"DateCreated", date(v.DateCreated)}, {"DateLastSaved", date(v.DateLastSaved)},
        {"PageCount", DecimalText(v.PageCount)}, {"WordCount", DecimalText(v.WordCount)},
        {"CharCount", DecimalText(v.CharCount)}, {"AppName", v.AppName}, {"Category", v.Category},
        {"PresentationFormat", v.PresentationFormat}, {"ByteCount", DecimalText(v.ByteCount)},
        {"LineCount", DecimalText(v.LineCount)}, {"ParagraphCount", DecimalText(v.ParagraphCount)},
        {"SlideCount", DecimalText(v.SlideCount)}, {"NoteCount", DecimalText(v.NoteCount)},
        {"HiddenSlides", DecimalText(v.HiddenSlides)}, {"MultimediaClips", DecimalText(v.MultimediaClips)},
        {"Manager", v.Manager}, {"Company", v.Company},
        {"CharCountWithSpaces", DecimalText(v.CharCountWithSpaces)}, {"Shared", BooleanText(v.Shared)},
        {"Version", v.Version},
    };
}

// What the reader makes of a package built from these entries.
inline std::optional<SummaryValues> ReadPackageBytes(const std::vector<Entry>& entries)
{
    const auto bytes = BuildZip(entries);
    return ReadDocumentSummary(MemorySource(bytes));
}

inline Seconds Utc(int y, unsigned mo, unsigned d, int h, int mi, int s)
{
    using namespace std::chrono;
    return Seconds(sys_days(year{y} / month{mo} / day{d})) + hours(h) + minutes(mi) + seconds(s);
}

} // namespace tallyglass::testing
