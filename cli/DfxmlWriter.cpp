#include "DfxmlWriter.h"

#include "IsoTimes.h"
#include "TextBytes.h"

#include <openssl/crypto.h>
#include <pugixml.hpp>
#include <sys/resource.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <zip.h>

#include <nlohmann/json.hpp>

#include <pwd.h>

#include <sstream>

namespace tallyglass {

namespace {

constexpr const char* kDfxmlNamespace = "http://www.forensicswiki.org/wiki/Category:Digital_Forensics_XML";
constexpr const char* kDublinCoreNamespace = "http://purl.org/dc/elements/1.1/";
constexpr const char* kSchemaVersion = "2.0.0-beta.0";
constexpr unsigned kFormat = pugi::format_indent;

// Sets the element's text, and where XML cannot carry it exactly, its bytes beside it.
pugi::xml_node setText(pugi::xml_node node, std::string_view text)
{
    if (IsXmlExact(text)) {
        node.text().set(std::string(text).c_str());
    } else {
        node.text().set(XmlReplaced(text).c_str());
        node.append_attribute("tg:bytes").set_value(Base64(text).c_str());
    }
    return node;
}

pugi::xml_node child(pugi::xml_node parent, const char* name, std::string_view text)
{
    return setText(parent.append_child(name), text);
}

void timeElement(pugi::xml_node parent, const char* name, const std::optional<Nanoseconds>& when)
{
    if (!when)
        return;
    // The schema's precision is in whole seconds; statx gives nanoseconds, and the nine digits
    // of the fraction carry them.
    pugi::xml_node node = child(parent, name, IsoUtcNanoseconds(*when));
    node.append_attribute("tg:resolution").set_value("1e-9");
}

bool isHexDigest(const std::string& text, std::size_t length)
{
    return text.size() == length && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

std::string_view kindName(PropertyKind kind)
{
    switch (kind) {
    case PropertyKind::Text: return "text";
    case PropertyKind::Integer: return "integer";
    case PropertyKind::Date: return "date";
    case PropertyKind::Boolean: return "boolean";
    }
    return "text";
}

std::string diagnosticKindName(DiagnosticKind kind)
{
    switch (kind) {
    case DiagnosticKind::NotADocument: return "not-a-document";
    case DiagnosticKind::Encrypted: return "encrypted";
    case DiagnosticKind::Damaged: return "damaged";
    case DiagnosticKind::OverCap: return "over-cap";
    case DiagnosticKind::CodePage: return "code-page";
    }
    return "damaged";
}

void propertyValue(pugi::xml_node node, const PropertyValue& value)
{
    if (const auto* s = std::get_if<std::string>(&value)) {
        setText(node, *s);
    } else if (const auto* i = std::get_if<std::int32_t>(&value)) {
        node.text().set(std::to_string(*i).c_str());
    } else if (const auto* d = std::get_if<DocumentDate>(&value)) {
        node.text().set(IsoUtc(d->when).c_str());
        node.append_attribute("zone").set_value(std::string(ZoneName(d->zone)).c_str());
    } else if (const auto* b = std::get_if<bool>(&value)) {
        node.text().set(*b ? "true" : "false");
    }
}

void customValue(pugi::xml_node node, const CustomValue& value)
{
    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::string>) {
                node.append_attribute("type").set_value("text");
                setText(node, v);
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                node.append_attribute("type").set_value("integer");
                node.text().set(std::to_string(v).c_str());
            } else if constexpr (std::is_same_v<T, double>) {
                node.append_attribute("type").set_value("real");
                node.text().set(nlohmann::json(v).dump().c_str());
            } else if constexpr (std::is_same_v<T, bool>) {
                node.append_attribute("type").set_value("boolean");
                node.text().set(v ? "true" : "false");
            } else {
                node.append_attribute("type").set_value("date");
                node.text().set(IsoUtc(v.when).c_str());
                node.append_attribute("zone").set_value(std::string(ZoneName(v.zone)).c_str());
            }
        },
        value);
}

// The window's texts of the document fields that are not empty, as the text and JSON reports
// give them, then the typed model behind them.
void documentProperties(pugi::xml_node fileobject, const Examination& e)
{
    pugi::xml_node texts = fileobject.append_child("tg:texts");
    for (const FieldRow& row : FieldCatalogue()) {
        const std::string& text = e.texts[std::size_t(row.id)];
        if (!PropertyIndex(row.id) || text.empty())
            continue;
        child(texts, "tg:text", text).append_attribute("field").set_value(std::string(row.idName).c_str());
    }
    pugi::xml_node doc = fileobject.append_child("tg:document");
    if (!e.document)
        return;
    const DocumentProperties& model = *e.document;
    if (!model.format.empty())
        doc.append_attribute("format").set_value(model.format.c_str());
    for (const PropertySpec& spec : PropertyTable()) {
        const PropertyValue& value = model.get(spec.field);
        if (std::holds_alternative<std::monostate>(value))
            continue;
        pugi::xml_node node = doc.append_child(("tg:" + std::string(spec.name)).c_str());
        node.append_attribute("kind").set_value(std::string(kindName(spec.kind)).c_str());
        propertyValue(node, value);
    }
    for (const CustomProperty& p : model.custom) {
        pugi::xml_node node = doc.append_child("tg:custom");
        if (IsXmlExact(p.name)) {
            node.append_attribute("name").set_value(p.name.c_str());
        } else {
            node.append_attribute("name").set_value(XmlReplaced(p.name).c_str());
            node.append_attribute("nameBytes").set_value(Base64(p.name).c_str());
        }
        customValue(node, p.value);
    }
    for (const Diagnostic& d : model.diagnostics) {
        pugi::xml_node node = child(doc, "tg:diagnostic", d.detail);
        node.append_attribute("kind").set_value(diagnosticKindName(d.kind).c_str());
    }
}

std::string commandLineText(const std::vector<std::string>& words)
{
    std::string line;
    for (const std::string& w : words) {
        if (!line.empty())
            line += ' ';
        if (!w.empty() && w.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_./=:,+@%") == std::string::npos) {
            line += w;
        } else {
            line += '\'';
            for (const char c : w) {
                if (c == '\'')
                    line += "'\\''";
                else
                    line += c;
            }
            line += '\'';
        }
    }
    return line;
}

void print(std::ostream& out, const pugi::xml_node& node)
{
    node.print(out, "  ", kFormat | pugi::format_no_declaration, pugi::encoding_utf8, 1);
}

} // namespace

DfxmlWriter::DfxmlWriter(std::ostream& out, std::vector<std::string> commandLine)
    : m_out(out), m_commandLine(std::move(commandLine))
{
}

void DfxmlWriter::begin(Nanoseconds startTime)
{
    // The root stays open while the file objects are written one by one; its start tag is the
    // fixed text below.
    m_out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          << "<dfxml xmlns=\"" << kDfxmlNamespace << "\" xmlns:dc=\"" << kDublinCoreNamespace
          << "\" xmlns:tg=\"" << kPropertiesNamespace << "\" version=\"" << kSchemaVersion << "\">\n";

    pugi::xml_document doc;
    pugi::xml_node metadata = doc.append_child("metadata");
    child(metadata, "dc:type", "Hash List");
    print(m_out, metadata);

    pugi::xml_document creatorDoc;
    pugi::xml_node creator = creatorDoc.append_child("creator");
    child(creator, "program", "tallyglass-report");
    child(creator, "version", TALLYGLASS_VERSION_TEXT);
    pugi::xml_node build = creator.append_child("build_environment");
#if defined(__clang__)
    child(build, "compiler", std::string("clang ") + __clang_version__);
#else
    child(build, "compiler", std::string("GCC ") + __VERSION__);
#endif
    pugi::xml_node env = creator.append_child("execution_environment");
    struct utsname uts {};
    if (::uname(&uts) == 0) {
        child(env, "os_sysname", uts.sysname);
        child(env, "os_release", uts.release);
        child(env, "os_version", uts.version);
        child(env, "host", uts.nodename);
        child(env, "arch", uts.machine);
    }
    child(env, "command_line", commandLineText(m_commandLine));
    const uid_t uid = ::getuid();
    child(env, "uid", std::to_string(uid));
    struct passwd pw {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(uid, &pw, buffer, sizeof buffer, &found) == 0 && found != nullptr)
        child(env, "username", found->pw_name);
    child(env, "start_time", IsoUtcNanoseconds(startTime));
    const auto library = [&](const char* name, const std::string& version) {
        pugi::xml_node node = creator.append_child("library");
        node.append_attribute("name").set_value(name);
        node.append_attribute("version").set_value(version.c_str());
    };
    library("OpenSSL", OpenSSL_version(OPENSSL_VERSION_STRING));
    library("libzip", zip_libzip_version());
    library("pugixml", std::to_string(PUGIXML_VERSION / 1000) + "." + std::to_string(PUGIXML_VERSION % 1000 / 10));
    print(m_out, creator);
}

std::string DfxmlWriter::FileObject(const Examination& e)
{
    pugi::xml_document doc;
    pugi::xml_node fo = doc.append_child("fileobject");
    const std::string& path = e.texts[std::size_t(FieldId::FilePath)];
    child(fo, "filename", path.empty() ? e.path : path);
    std::string errors;
    for (const std::string& message : e.messages)
        errors += (errors.empty() ? "" : "; ") + message;
    struct Digest {
        FieldId field;
        const char* type;
        std::size_t length;
    };
    static constexpr Digest kDigests[] = {
        {FieldId::MD5, "MD5", 32}, {FieldId::Sha1, "SHA1", 40}, {FieldId::Sha256, "SHA256", 64}};
    for (const Digest& d : kDigests) {
        const std::string& text = e.texts[std::size_t(d.field)];
        if (!text.empty() && !isHexDigest(text, d.length))
            errors += (errors.empty() ? "" : "; ") + text;
    }
    if (!errors.empty())
        child(fo, "error", errors);
    if (e.file) {
        child(fo, "filesize", std::to_string(e.file->Size));
        timeElement(fo, "mtime", e.file->LastModifiedExact);
        timeElement(fo, "atime", e.file->LastAccessedExact);
        timeElement(fo, "crtime", e.file->CreatedExact);
    }
    for (const Digest& d : kDigests) {
        const std::string& text = e.texts[std::size_t(d.field)];
        if (isHexDigest(text, d.length))
            child(fo, "hashdigest", text).append_attribute("type").set_value(d.type);
    }
    documentProperties(fo, e);
    std::ostringstream out;
    print(out, fo);
    return std::move(out).str();
}

void DfxmlWriter::end()
{
    pugi::xml_document doc;
    pugi::xml_node rusage = doc.append_child("rusage");
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& tv) {
        return std::to_string(tv.tv_sec) + "." + std::to_string(1000000 + tv.tv_usec).substr(1);
    };
    child(rusage, "utime", seconds(usage.ru_utime));
    child(rusage, "stime", seconds(usage.ru_stime));
    child(rusage, "maxrss", std::to_string(usage.ru_maxrss));
    child(rusage, "minflt", std::to_string(usage.ru_minflt));
    child(rusage, "majflt", std::to_string(usage.ru_majflt));
    child(rusage, "nswap", std::to_string(usage.ru_nswap));
    child(rusage, "inblock", std::to_string(usage.ru_inblock));
    child(rusage, "oublock", std::to_string(usage.ru_oublock));
    print(m_out, rusage);
    m_out << "</dfxml>\n";
}

} // namespace tallyglass
