#include "RtfInfoGroup.h"

#include "RtfText.h"
#include "RtfTokens.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tallyglass::rtf {

namespace {

// Real documents nest their header a handful of groups deep; deeper nesting before the body
// is a hostile file, and each level costs a little memory.
constexpr std::size_t kMaxGroupDepth = 256;
// Fonts remembered from the font table, for the code pages of their \fcharset.
constexpr std::size_t kMaxFonts = 4096;
// User properties kept; Office lets a user define a few dozen.
constexpr std::size_t kMaxUserProperties = 1024;
// A \ucN beyond this is not a count of fallback bytes any writer means.
constexpr std::int64_t kMaxUnicodeSkip = 64;

constexpr std::array<std::string_view, 9> kTextEntries = {
    "title", "subject", "author", "manager", "company", "operator", "category", "keywords", "doccomm"};
constexpr std::array<std::string_view, 3> kDateEntries = {"creatim", "revtim", "printim"};
constexpr std::array<std::string_view, 6> kNumberEntries = {"edmins", "nofpages", "nofwords",
                                                            "nofchars", "nofcharsws", "vern"};
// Destinations of the header that carry no document text, though they are not marked \*.
constexpr std::array<std::string_view, 26> kHeaderDestinations = {
    "fonttbl", "filetbl", "colortbl", "stylesheet", "listtable", "listoverridetable", "revtbl",
    "rsidtbl", "generator", "pgdsctbl", "xmlnstbl", "mmathPr", "latentstyles", "themedata",
    "colorschememapping", "datastore", "defchp", "defpap", "template", "docvar", "pnseclvl",
    "expandedcolortbl", "comment", "keycode", "upr", "ud"};
// Control words that begin or are the document's text when they stand outside any group.
constexpr std::array<std::string_view, 13> kBodyWords = {
    "par", "pard", "sect", "sectd", "line", "tab", "page", "cell", "row", "trowd", "intbl",
    "u", "emdash"};

template <std::size_t N>
bool among(const std::array<std::string_view, N>& names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The characters RTF spells as control words inside a text.
std::string_view wordCharacter(std::string_view name)
{
    if (name == "par" || name == "line") return "\n";
    if (name == "tab") return "\t";
    if (name == "emdash") return "\u2014";
    if (name == "endash") return "\u2013";
    if (name == "emspace") return "\u2003";
    if (name == "enspace") return "\u2002";
    if (name == "qmspace") return "\u2005";
    if (name == "bullet") return "\u2022";
    if (name == "lquote") return "\u2018";
    if (name == "rquote") return "\u2019";
    if (name == "ldblquote") return "\u201C";
    if (name == "rdblquote") return "\u201D";
    return {};
}

enum class Context {
    Document,  // the document group itself
    Body,      // a group of the document's text
    FontTable,
    Info,
    Upr,       // {\upr {ANSI form} {\*\ud {Unicode form}}}
    Ud,
    TextEntry, // \title and the other texts, \propname and \staticval
    DateEntry,
    UserProps,
    Skip,      // a destination whose content means nothing to us
};

// Where an entry's text goes: straight to the group, or to one of the two forms of \upr.
enum class Channel { Direct, UprAnsi, UprUnicode };

struct Group {
    Context context = Context::Document;
    Context parent = Context::Document;
    bool fresh = true;    // no token of its own yet: the next word may name a destination
    bool optional = false; // \* came first
    std::int64_t uc = 1;   // fallback bytes after each \uN
    std::uint16_t fontCodePage = 0; // 0: the document's code page
};

struct Entry {
    std::size_t group = 0; // the stack index of the group that holds it
    std::string name;      // "title"; "propname" or "staticval" inside \userprops
    Channel channel = Channel::Direct;
    bool date = false;
    TextBuilder text;
    RtfDate parts;
};

struct Upr {
    std::size_t group = 0;
    std::map<std::string, std::string, std::less<>> ansi, unicode;
};

class InfoReader {
public:
    explicit InfoReader(const ByteSource& source)
        : m_input(source, kMaxRtfReadBytes), m_tokens(m_input)
    {
    }

    RtfInfoGroup read();

private:
    void open();
    void close();
    void word(const Token& t);
    void symbol(const Token& t);
    void byte(const Token& t);
    void decide(Group& g, const Token& t);
    void apply(const Token& t);
    void finishEntry();
    void finishUserProperty();
    void ended(Ending why);
    void stopForBody() { m_stop = true; }
    void note(DiagnosticKind kind, std::string detail) { m_info.diagnostics.push_back({kind, std::move(detail)}); }
    std::uint16_t codePage() const;

    RtfInput m_input;
    Tokenizer m_tokens;
    RtfInfoGroup m_info;
    std::vector<Group> m_stack;
    std::optional<Entry> m_entry;
    std::optional<Upr> m_upr;
    std::optional<std::size_t> m_infoGroup, m_userPropsGroup;
    std::optional<RtfUserProperty> m_property;
    std::map<std::int64_t, std::uint16_t> m_fonts; // font number -> code page
    std::int64_t m_currentFont = 0;
    std::uint16_t m_documentCodePage = 0;
    std::int64_t m_skip = 0; // fallback tokens still to pass over after a \uN
    bool m_infoDone = false, m_userPropsDone = false, m_stop = false;
};

std::uint16_t InfoReader::codePage() const
{
    const std::uint16_t font = m_stack.back().fontCodePage;
    if (font != 0)
        return font;
    return m_documentCodePage != 0 ? m_documentCodePage : 1252;
}

RtfInfoGroup InfoReader::read()
{
    while (!m_stop) {
        const Token t = m_tokens.next();
        if (t.kind == TokenKind::End) {
            ended(m_tokens.ending());
            break;
        }
        if (t.kind == TokenKind::GroupOpen || t.kind == TokenKind::GroupClose) {
            m_skip = 0;
            t.kind == TokenKind::GroupOpen ? open() : close();
            continue;
        }
        if (m_stack.empty())
            break; // the document group has closed; nothing after it counts
        if (m_skip > 0) {
            --m_skip;
            continue;
        }
        Group& g = m_stack.back();
        if (g.fresh) {
            if (t.kind == TokenKind::Symbol && t.symbol == '*') {
                g.optional = true;
                continue;
            }
            decide(g, t);
            if (m_stop)
                break;
        }
        switch (t.kind) {
        case TokenKind::Word: word(t); break;
        case TokenKind::Symbol: symbol(t); break;
        case TokenKind::Byte: byte(t); break;
        default: break;
        }
    }
    if (m_tokens.overlongWord())
        note(DiagnosticKind::OverCap, "a control word longer than 32 letters was passed over");
    if (m_tokens.overlongParameter())
        note(DiagnosticKind::OverCap, "a numeric parameter longer than 10 digits was passed over");
    return std::move(m_info);
}

void InfoReader::open()
{
    if (m_stack.size() >= kMaxGroupDepth) {
        note(DiagnosticKind::OverCap, "groups nested deeper than " + std::to_string(kMaxGroupDepth) + " at byte "
                                          + std::to_string(m_tokens.offset() - 1));
        ended(Ending::None);
        m_stop = true;
        return;
    }
    if (m_stack.empty()) {
        m_stack.push_back(Group{});
        m_stack.back().fresh = false;
        return;
    }
    Group child = m_stack.back();
    child.parent = child.context;
    child.fresh = true;
    child.optional = false;
    // Until a word says otherwise, a group is more of what holds it.
    if (child.context == Context::Document)
        child.context = m_infoDone ? Context::Skip : Context::Body;
    else if (child.context == Context::Upr)
        child.context = Context::Skip;
    m_stack.push_back(child);
}

void InfoReader::close()
{
    if (m_stack.empty())
        return;
    const std::size_t index = m_stack.size() - 1;
    if (m_entry && m_entry->group == index)
        finishEntry();
    if (m_upr && m_upr->group == index) {
        // The Unicode form wins over the ANSI one; either loses to an earlier entry.
        for (auto& [name, text] : m_upr->unicode)
            m_info.texts.emplace(name, std::move(text));
        for (auto& [name, text] : m_upr->ansi)
            m_info.texts.emplace(name, std::move(text));
        m_upr.reset();
    }
    if (m_userPropsGroup == index) {
        finishUserProperty();
        m_userPropsGroup.reset();
        m_userPropsDone = true;
        if (m_infoDone)
            m_stop = true;
    }
    if (m_infoGroup == index) {
        m_infoGroup.reset();
        m_infoDone = true;
        // Writers put {\*\userprops} inside the group or right after it; nothing else after
        // it is ours.
        if (m_userPropsDone)
            m_stop = true;
    }
    m_stack.pop_back();
    if (m_stack.empty())
        m_stop = true;
}

// The first token of a group says what the group is.
void InfoReader::decide(Group& g, const Token& t)
{
    g.fresh = false;
    const std::size_t index = m_stack.size() - 1;
    const std::string_view name = t.kind == TokenKind::Word ? std::string_view(t.name) : std::string_view();
    const auto startEntry = [&](Channel channel, bool date) {
        g.context = date ? Context::DateEntry : Context::TextEntry;
        m_entry.emplace();
        m_entry->group = index;
        m_entry->name = std::string(name);
        m_entry->channel = channel;
        m_entry->date = date;
    };

    switch (g.parent) {
    case Context::Document:
        if (m_infoDone) {
            // After the information group only a {\*\userprops} beside it is read.
            if (name == "userprops" && !m_userPropsDone) {
                g.context = Context::UserProps;
                m_userPropsGroup = index;
            } else {
                m_stop = true;
            }
        } else if (name == "info") {
            g.context = Context::Info;
            m_infoGroup = index;
            m_info.found = true;
        } else if (name == "userprops" && !m_userPropsDone) {
            g.context = Context::UserProps;
            m_userPropsGroup = index;
        } else if (name == "fonttbl") {
            g.context = Context::FontTable;
        } else if (g.optional || among(kHeaderDestinations, name)) {
            g.context = Context::Skip;
        }
        return;
    case Context::Info:
    case Context::Ud:
    case Context::Upr: {
        const Channel channel = g.parent == Context::Info ? Channel::Direct
            : g.parent == Context::Ud                     ? Channel::UprUnicode
                                                          : Channel::UprAnsi;
        if (g.parent == Context::Upr && name == "ud") {
            g.context = Context::Ud;
        } else if (m_entry) {
            g.context = Context::Skip; // an entry inside an entry is none of ours
        } else if (among(kTextEntries, name)) {
            startEntry(channel, false);
        } else if (among(kDateEntries, name)) {
            startEntry(channel, true);
        } else if (g.parent == Context::Info && name == "upr" && !m_upr) {
            g.context = Context::Upr;
            m_upr.emplace();
            m_upr->group = index;
        } else if (g.parent == Context::Info && name == "userprops" && !m_userPropsDone && !m_userPropsGroup) {
            g.context = Context::UserProps;
            m_userPropsGroup = index;
        } else if (among(kNumberEntries, name) && g.parent != Context::Upr) {
            g.context = Context::Info; // the word itself is read below
        } else {
            g.context = Context::Skip;
        }
        return;
    }
    case Context::UserProps:
        if ((name == "propname" || name == "staticval") && !m_entry) {
            if (name == "propname")
                finishUserProperty();
            g.context = Context::TextEntry;
            m_entry.emplace();
            m_entry->group = index;
            m_entry->name = std::string(name);
        } else if (g.optional || name == "linkval") {
            g.context = Context::Skip;
        }
        return;
    case Context::Body:
        // Word wraps its style sheet in \upr at the header's level.
        if (g.optional || among(kHeaderDestinations, name))
            g.context = Context::Skip;
        return;
    default:
        if (g.optional)
            g.context = Context::Skip;
        return;
    }
}

void InfoReader::word(const Token& t)
{
    const Group& g = m_stack.back();
    if (t.name == "uc" && t.hasParameter) {
        m_stack.back().uc = std::clamp<std::int64_t>(t.parameter, 0, kMaxUnicodeSkip);
        return;
    }
    switch (g.context) {
    case Context::Document:
        if (t.name == "ansicpg" && t.hasParameter && t.parameter > 0 && t.parameter <= 65535)
            m_documentCodePage = std::uint16_t(t.parameter);
        else if (m_documentCodePage == 0 && t.name == "mac")
            m_documentCodePage = 10000;
        else if (m_documentCodePage == 0 && t.name == "pc")
            m_documentCodePage = 437;
        else if (m_documentCodePage == 0 && t.name == "pca")
            m_documentCodePage = 850;
        else if (among(kBodyWords, t.name) || m_infoDone)
            stopForBody();
        return;
    case Context::Body:
        if (among(kBodyWords, t.name))
            stopForBody();
        return;
    case Context::FontTable:
        if (t.name == "f" && t.hasParameter) {
            m_currentFont = t.parameter;
        } else if ((t.name == "fcharset" || t.name == "cpg") && t.hasParameter) {
            const std::uint16_t page = t.name == "cpg" ? std::uint16_t(std::clamp<std::int64_t>(t.parameter, 0, 65535))
                                                       : CodePageOfCharset(t.parameter);
            // A font's \cpg says more than its \fcharset, whichever comes first.
            const auto it = m_fonts.find(m_currentFont);
            if (it != m_fonts.end()) {
                if (t.name == "cpg" && page != 0)
                    it->second = page;
            } else if (page != 0 && m_fonts.size() < kMaxFonts) {
                m_fonts.emplace(m_currentFont, page);
            }
        }
        return;
    case Context::Info:
        if (among(kNumberEntries, t.name) && t.hasParameter)
            m_info.numbers.emplace(t.name, t.parameter);
        else if (t.name == "u")
            m_skip = g.uc;
        return;
    case Context::TextEntry:
        if (t.name == "u" && t.hasParameter) {
            m_entry->text.unicode(t.parameter);
            m_skip = g.uc;
        } else if (t.name == "f" && t.hasParameter) {
            const auto it = m_fonts.find(t.parameter);
            m_stack.back().fontCodePage = it == m_fonts.end() ? 0 : it->second;
        } else if (const std::string_view c = wordCharacter(t.name); !c.empty()) {
            m_entry->text.utf8(c);
        }
        return;
    case Context::DateEntry:
        if (t.hasParameter) {
            RtfDate& d = m_entry->parts;
            std::optional<std::int64_t>* slot = t.name == "yr" ? &d.yr
                : t.name == "mo"                               ? &d.mo
                : t.name == "dy"                               ? &d.dy
                : t.name == "hr"                               ? &d.hr
                : t.name == "min"                              ? &d.min
                : t.name == "sec"                              ? &d.sec
                                                               : nullptr;
            if (slot && !*slot)
                *slot = t.parameter;
        }
        return;
    case Context::UserProps:
        if (t.name == "proptype" && t.hasParameter && m_property)
            m_property->proptype = t.parameter;
        else if (t.name == "u")
            m_skip = g.uc;
        return;
    default:
        if (t.name == "u")
            m_skip = g.uc;
        return;
    }
}

void InfoReader::symbol(const Token& t)
{
    const Context context = m_stack.back().context;
    const bool textual = t.symbol == '~' || t.symbol == '_' || t.symbol == '-';
    if ((context == Context::Document || context == Context::Body) && textual) {
        stopForBody();
        return;
    }
    if (context != Context::TextEntry)
        return;
    if (t.symbol == '~')
        m_entry->text.utf8("\u00A0");
    else if (t.symbol == '_')
        m_entry->text.utf8("\u2011");
}

void InfoReader::byte(const Token& t)
{
    const Context context = m_stack.back().context;
    const bool blank = !t.escaped && (t.byte == ' ' || t.byte == '\t');
    if (context == Context::Document || context == Context::Body) {
        // Blanks between header groups are not text; anything else is the body beginning.
        if (!blank || context == Context::Body)
            stopForBody();
        return;
    }
    if (context == Context::TextEntry && t.byte != 0)
        m_entry->text.byte(t.byte, codePage());
}

void InfoReader::finishEntry()
{
    Entry entry = std::move(*m_entry);
    m_entry.reset();
    if (entry.date) {
        m_info.dates.emplace(entry.name, entry.parts);
        return;
    }
    std::string text = entry.text.finish();
    if (entry.text.cut())
        note(DiagnosticKind::OverCap, "\\" + entry.name + " longer than 64 KiB, cut");
    if (entry.name == "propname") {
        m_property.emplace();
        m_property->propname = std::move(text);
    } else if (entry.name == "staticval") {
        if (m_property && !m_property->staticval)
            m_property->staticval = std::move(text);
    } else if (entry.channel == Channel::Direct) {
        m_info.texts.emplace(entry.name, std::move(text));
    } else {
        auto& form = entry.channel == Channel::UprUnicode ? m_upr->unicode : m_upr->ansi;
        form.emplace(entry.name, std::move(text));
    }
}

void InfoReader::finishUserProperty()
{
    if (!m_property)
        return;
    if (m_info.userprops.size() < kMaxUserProperties)
        m_info.userprops.push_back(std::move(*m_property));
    else if (m_info.userprops.size() == kMaxUserProperties)
        note(DiagnosticKind::OverCap, "more than " + std::to_string(kMaxUserProperties) + " user properties");
    m_property.reset();
}

void InfoReader::ended(Ending why)
{
    // What was read before the end is kept: the entry being read, the \upr forms, the user
    // property.
    const bool inInfo = m_infoGroup || m_userPropsGroup;
    while (!m_stack.empty() && (m_entry || m_upr || m_infoGroup || m_userPropsGroup))
        close();
    switch (why) {
    case Ending::FileEnd:
        if (!m_stack.empty() || inInfo)
            note(DiagnosticKind::Damaged, "the file ends inside a group that is not closed");
        break;
    case Ending::InsideWord:
        note(DiagnosticKind::Damaged, "the file ends inside a control word");
        break;
    case Ending::InsideBin:
        note(DiagnosticKind::Damaged, "the file ends inside \\bin data of " + std::to_string(m_tokens.binSkipAsked())
                                          + " bytes");
        break;
    case Ending::ReadFailed:
        note(DiagnosticKind::Damaged, "the file could not be read at byte " + std::to_string(m_tokens.offset()));
        break;
    case Ending::BinPastLimit:
        note(DiagnosticKind::OverCap, "\\bin data of " + std::to_string(m_tokens.binSkipAsked())
                                          + " bytes runs past the first 1 MiB");
        break;
    case Ending::ReadLimit:
        if (inInfo)
            note(DiagnosticKind::OverCap, "the information group runs past the first 1 MiB");
        else if (!m_info.found)
            note(DiagnosticKind::OverCap, "no information group and no document text in the first 1 MiB");
        break;
    case Ending::None:
        break;
    }
    m_stop = true;
}

} // namespace

RtfInfoGroup ReadRtfInfoGroup(const ByteSource& source)
{
    return InfoReader(source).read();
}

} // namespace tallyglass::rtf
