#include "PdfDocument.h"

#include "PdfDate.h"
#include "PdfInputSource.h"
#include "PdfPageTree.h"
#include "PdfText.h"
#include "XmpPacket.h"

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace tallyglass {

namespace {

using namespace std::chrono_literals;

// A damaged cross-reference table is rebuilt by scanning the whole file for objects. That is
// worth it for any document people send each other; beyond 64 MiB the scan alone would take
// longer than anyone waits for a properties dialog, so larger damaged files are not repaired.
constexpr std::uint64_t kMaxRebuiltFileSize = 64ULL * 1024 * 1024;

// Every PDF answers within 3 seconds however it is built; reading stops a little earlier so
// the values found by then can still be handed back in time.
constexpr auto kReadingTime = 2500ms;

// XMP metadata is a few kilobytes; 1 MiB inflated leaves room for the largest real packets
// and stops a compressed stream from growing without bound in memory.
constexpr std::size_t kMaxXmpBytes = 1024 * 1024;

// Information dictionaries carry a handful of keys; a thousand is none that a writer made.
constexpr std::size_t kMaxCustomProperties = 1000;
constexpr std::size_t kMaxCustomNameBytes = 1024;

constexpr std::size_t kHeaderWindow = 1024;

// Collects a decoded stream up to a cap; past it, the decoding is stopped.
class CappedSink final : public Pipeline {
public:
    CappedSink(std::string& out, std::size_t cap) : Pipeline("xmp", nullptr), m_out(out), m_cap(cap) {}
    void write(unsigned char const* data, size_t length) override
    {
        if (length > m_cap - m_out.size()) {
            m_over = true;
            throw std::length_error("the XMP metadata is over its cap");
        }
        m_out.append(reinterpret_cast<const char*>(data), length);
    }
    void finish() override {}
    bool over() const { return m_over; }

private:
    std::string& m_out;
    const std::size_t m_cap;
    bool m_over = false;
};

std::string positioned(const QPDFExc& error)
{
    std::string text = error.getMessageDetail();
    if (error.getFilePosition() > 0)
        text += " (at offset " + std::to_string(error.getFilePosition()) + ")";
    return text;
}

// A text value of the information dictionary: absent unless the key holds a string.
std::optional<std::string> infoText(QPDFObjectHandle info, const char* key)
{
    auto value = info.getKey(key);
    if (!value.isString())
        return std::nullopt;
    return DecodePdfText(value.getStringValue());
}

bool hasText(const std::optional<std::string>& text) { return text && !text->empty(); }

// The Info value if it has text, else the XMP one if that has, else whatever of the two exists
// (an empty string is still a value the document holds).
PropertyValue firstText(const std::optional<std::string>& info, const std::optional<std::string>& xmp)
{
    if (hasText(info))
        return *info;
    if (hasText(xmp))
        return *xmp;
    if (info)
        return *info;
    if (xmp)
        return *xmp;
    return {};
}

class Mapping {
public:
    Mapping(QPDF& pdf, DocumentProperties& out) : m_pdf(pdf), m_out(out) {}

    void run()
    {
        auto root = m_pdf.getRoot();
        auto info = m_pdf.getTrailer().getKey("/Info");
        if (!info.isDictionary())
            info = QPDFObjectHandle::newDictionary();
        const auto xmp = readXmp(root);

        m_out.set(FieldId::Title, firstText(infoText(info, "/Title"), xmp.title));
        m_out.set(FieldId::Author, firstText(infoText(info, "/Author"), xmp.creator));
        m_out.set(FieldId::Subject, firstText(infoText(info, "/Subject"), xmp.description));
        m_out.set(FieldId::Keywords, firstText(infoText(info, "/Keywords"), xmp.keywords));

        // The application that made the original document, from either source, before the one
        // that turned it into PDF.
        const auto creator = infoText(info, "/Creator");
        const auto producer = infoText(info, "/Producer");
        if (hasText(creator) || hasText(xmp.creatorTool))
            m_out.set(FieldId::AppName, firstText(creator, xmp.creatorTool));
        else
            m_out.set(FieldId::AppName, firstText(producer, xmp.producer));

        m_out.set(FieldId::DateCreated, date(info, "/CreationDate", xmp.createDate, xmp.invalidCreateDate));
        m_out.set(FieldId::DateLastSaved, date(info, "/ModDate", xmp.modifyDate, xmp.invalidModifyDate));

        if (const auto pages = CountPdfPages(root.getKey("/Pages"), m_out))
            m_out.set(FieldId::PageCount, *pages);

        customProperties(info, producer ? producer : xmp.producer);
    }

private:
    XmpProperties readXmp(QPDFObjectHandle root)
    {
        auto metadata = root.getKey("/Metadata");
        if (!metadata.isStream())
            return {};
        std::string packet;
        CappedSink sink(packet, kMaxXmpBytes);
        const bool decoded = metadata.pipeStreamData(&sink, 0, qpdf_dl_generalized, true, false);
        if (sink.over()) {
            m_out.note(DiagnosticKind::OverCap, "the XMP metadata inflates to more than 1 MiB; it is not read");
            return {};
        }
        if (!decoded) {
            m_out.note(DiagnosticKind::Damaged, "the XMP metadata stream cannot be decoded");
            return {};
        }
        XmpFault fault = XmpFault::None;
        auto properties = ReadXmpPacket(packet, fault);
        if (fault == XmpFault::DeclaresDocumentType)
            m_out.note(DiagnosticKind::Damaged, "the XMP metadata declares a document type; it is not read");
        else if (fault == XmpFault::NotWellFormed)
            m_out.note(DiagnosticKind::Damaged, "the XMP metadata is not well-formed XML");
        return properties;
    }

    PropertyValue date(QPDFObjectHandle info, const char* key, const std::optional<DocumentDate>& xmp,
                       bool xmpInvalid)
    {
        auto value = info.getKey(key);
        if (value.isString()) {
            if (const auto parsed = ParsePdfDate(DecodePdfText(value.getStringValue())))
                return *parsed;
        }
        if (!value.isNull())
            m_out.note(DiagnosticKind::Damaged, std::string(key + 1) + " is not a date");
        if (xmp)
            return *xmp;
        if (xmpInvalid && value.isNull())
            m_out.note(DiagnosticKind::Damaged, std::string("the XMP ") + (std::strcmp(key, "/ModDate") == 0
                                                                           ? "xmp:ModifyDate" : "xmp:CreateDate")
                                                    + " is not a date");
        return {};
    }

    void customProperties(QPDFObjectHandle info, const std::optional<std::string>& producer)
    {
        static constexpr std::array<std::string_view, 7> mapped = {
            "/Title", "/Author", "/Subject", "/Keywords", "/Creator", "/CreationDate", "/ModDate"};
        bool producerListed = false;
        for (const auto& key : info.getKeys()) {
            if (std::find(mapped.begin(), mapped.end(), key) != mapped.end())
                continue;
            if (m_out.custom.size() == kMaxCustomProperties) {
                m_out.note(DiagnosticKind::OverCap, "the information dictionary has more than 1000 keys; the rest are left out");
                return;
            }
            std::string name = CleanUtf8(std::string_view(key).substr(1), kMaxCustomNameBytes);
            if (key == "/Producer") {
                if (producer)
                    m_out.custom.push_back({std::move(name), *producer});
                producerListed = true;
                continue;
            }
            auto value = info.getKey(key);
            if (value.isString())
                m_out.custom.push_back({std::move(name), DecodePdfText(value.getStringValue())});
            else if (value.isInteger())
                m_out.custom.push_back({std::move(name), std::int64_t(value.getIntValue())});
            else if (value.isReal())
                m_out.custom.push_back({std::move(name), value.getNumericValue()});
            else if (value.isBool())
                m_out.custom.push_back({std::move(name), value.getBoolValue()});
            else if (value.isName())
                m_out.custom.push_back({std::move(name), CleanUtf8(std::string_view(value.getName()).substr(1))});
        }
        if (!producerListed && producer)
            m_out.custom.push_back({"Producer", *producer});
    }

    QPDF& m_pdf;
    DocumentProperties& m_out;
};

bool anyValue(const DocumentProperties& properties)
{
    return !properties.custom.empty()
        || std::any_of(properties.values.begin(), properties.values.end(),
                       [](const PropertyValue& v) { return !std::holds_alternative<std::monostate>(v); });
}

} // namespace

bool IsPdfDocument(const ByteSource& source)
{
    std::array<char, kHeaderWindow> head{};
    const std::size_t n = std::size_t(std::min<std::uint64_t>(source.size(), head.size()));
    if (!source.readAt(0, std::as_writable_bytes(std::span(head.data(), n))))
        return false;
    return std::string_view(head.data(), n).find("%PDF-") != std::string_view::npos;
}

DocumentProperties ReadPdfDocument(const ByteSource& source)
{
    DocumentProperties out;
    out.absent = AbsentForm::Blank;
    if (!IsPdfDocument(source)) {
        out.note(DiagnosticKind::NotADocument, "");
        return out;
    }
    out.opened = true;
    out.format = "pdf";

    auto input = std::make_shared<PdfInputSource>(source, PdfInputSource::Clock::now() + kReadingTime);
    const bool mayRebuild = source.size() <= kMaxRebuiltFileSize;
    QPDF pdf;
    // qpdf reports damage it survives as warnings on standard error; here they are kept and,
    // when nothing could be read, become the reason.
    auto logger = QPDFLogger::create();
    logger->setInfo(logger->discard());
    logger->setWarn(logger->discard());
    logger->setError(logger->discard());
    pdf.setLogger(logger);
    pdf.setSuppressWarnings(true);
    pdf.setAttemptRecovery(mayRebuild);

    const auto tooLong = [&] {
        out.note(DiagnosticKind::OverCap, "reading stopped after 2.5 seconds; the values found until then are shown");
    };
    try {
        pdf.processInputSource(input);
    } catch (const QPDFExc& error) {
        if (input->timeUp())
            tooLong();
        else if (error.getErrorCode() == qpdf_e_password)
            out.note(DiagnosticKind::Encrypted, "a password is needed");
        else if (error.getErrorCode() == qpdf_e_unsupported && pdf.isEncrypted())
            out.note(DiagnosticKind::Encrypted, positioned(error));
        else if (!mayRebuild)
            out.note(DiagnosticKind::OverCap, "the cross-reference table is damaged, and it is rebuilt only in files "
                                              "up to 64 MiB: " + positioned(error));
        else
            out.note(DiagnosticKind::Damaged, positioned(error));
        return out;
    } catch (const std::exception& error) {
        if (input->timeUp())
            tooLong();
        else
            out.note(DiagnosticKind::Damaged, error.what());
        return out;
    }

    try {
        Mapping(pdf, out).run();
    } catch (const QPDFExc& error) {
        out.note(DiagnosticKind::Damaged, positioned(error));
    } catch (const std::exception& error) {
        if (!input->timeUp())
            out.note(DiagnosticKind::Damaged, error.what());
    }
    if (input->timeUp())
        tooLong();
    if (!anyValue(out)) {
        const auto warnings = pdf.getWarnings();
        if (!warnings.empty())
            out.note(DiagnosticKind::Damaged, positioned(warnings.front()));
    }
    return out;
}

} // namespace tallyglass
