#include "PdfObjects.h"

#include "PdfInputSource.h"
#include "PdfPageTree.h"

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>

#include <memory>
#include <stdexcept>

namespace tallyglass {

namespace {

// Information dictionaries carry a handful of keys; a thousand is none that a writer made.
constexpr std::size_t kMaxInfoEntries = 1000;

using Kind = PdfNote::Kind;

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

void readInfo(QPDFObjectHandle info, PdfObjects& out)
{
    if (!info.isDictionary())
        return;
    for (const auto& key : info.getKeys()) {
        if (out.info.size() == kMaxInfoEntries) {
            out.notes.push_back({Kind::OverCap, "the information dictionary has more than 1000 keys; the rest are left out"});
            return;
        }
        auto value = info.getKey(key);
        PdfInfoEntry entry;
        entry.key = key.substr(1);
        if (value.isString()) {
            entry.kind = PdfInfoEntry::Kind::String;
            entry.bytes = value.getStringValue();
        } else if (value.isInteger()) {
            entry.kind = PdfInfoEntry::Kind::Integer;
            entry.integer = value.getIntValue();
        } else if (value.isReal()) {
            entry.kind = PdfInfoEntry::Kind::Real;
            entry.real = value.getNumericValue();
        } else if (value.isBool()) {
            entry.kind = PdfInfoEntry::Kind::Boolean;
            entry.boolean = value.getBoolValue();
        } else if (value.isName()) {
            entry.kind = PdfInfoEntry::Kind::Name;
            entry.bytes = value.getName().substr(1);
        } else {
            continue;
        }
        out.info.push_back(std::move(entry));
    }
}

void readXmp(QPDFObjectHandle root, PdfObjects& out)
{
    auto metadata = root.getKey("/Metadata");
    if (!metadata.isStream())
        return;
    std::string packet;
    CappedSink sink(packet, kMaxXmpBytes);
    const bool decoded = metadata.pipeStreamData(&sink, 0, qpdf_dl_generalized, true, false);
    if (sink.over())
        out.notes.push_back({Kind::OverCap, "the XMP metadata inflates to more than 1 MiB; it is not read"});
    else if (!decoded)
        out.notes.push_back({Kind::Damaged, "the XMP metadata stream cannot be decoded"});
    else
        out.xmp = std::move(packet);
}

} // namespace

PdfObjects ReadPdfObjects(const PdfBytes& bytes, std::chrono::steady_clock::time_point deadline)
{
    PdfObjects out;
    auto input = std::make_shared<PdfInputSource>(bytes, deadline);
    const bool mayRebuild = bytes.size() <= kMaxRebuiltFileSize;
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

    const auto tooLong = [&out] {
        out.notes.push_back({Kind::OverCap, "reading stopped after 2.5 seconds; the values found until then are shown"});
    };
    try {
        pdf.processInputSource(input);
    } catch (const QPDFExc& error) {
        if (input->timeUp())
            tooLong();
        else if (error.getErrorCode() == qpdf_e_password)
            out.notes.push_back({Kind::Encrypted, "a password is needed"});
        else if (error.getErrorCode() == qpdf_e_unsupported && pdf.isEncrypted())
            out.notes.push_back({Kind::Encrypted, positioned(error)});
        else if (!mayRebuild)
            out.notes.push_back({Kind::OverCap, "the cross-reference table is damaged, and it is rebuilt only in "
                                                "files up to 64 MiB: " + positioned(error)});
        else
            out.notes.push_back({Kind::Damaged, positioned(error)});
        return out;
    } catch (const std::exception& error) {
        if (input->timeUp())
            tooLong();
        else
            out.notes.push_back({Kind::Damaged, error.what()});
        return out;
    }

    try {
        auto root = pdf.getRoot();
        readInfo(pdf.getTrailer().getKey("/Info"), out);
        readXmp(root, out);
        out.pages = CountPdfPages(root.getKey("/Pages"), out.notes);
    } catch (const QPDFExc& error) {
        out.notes.push_back({Kind::Damaged, positioned(error)});
    } catch (const std::exception& error) {
        if (!input->timeUp())
            out.notes.push_back({Kind::Damaged, error.what()});
    }
    if (input->timeUp())
        tooLong();
    const auto warnings = pdf.getWarnings();
    if (!warnings.empty())
        out.firstWarning = positioned(warnings.front());
    return out;
}

} // namespace tallyglass
