#pragma once

#include "ByteSource.h"
#include "docprops/PropertyModel.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tallyglass::rtf {

// The parts of a date destination (\creatim and the like), as written.
struct RtfDate {
    std::optional<std::int64_t> yr, mo, dy, hr, min, sec;
};

// One entry of {\*\userprops}: \propname, \proptype and \staticval.
struct RtfUserProperty {
    std::string propname;
    std::int64_t proptype = 30; // text, when the writer gives no type
    std::optional<std::string> staticval;
};

// The information group of a document's header, keyed by the RTF names of its entries. Each
// entry holds its first occurrence; where \upr gives an entry in two forms, the Unicode one.
struct RtfInfoGroup {
    bool found = false;
    std::map<std::string, std::string, std::less<>> texts;   // "title" -> UTF-8
    std::map<std::string, RtfDate, std::less<>> dates;       // "creatim" -> parts
    std::map<std::string, std::int64_t, std::less<>> numbers; // "edmins" -> value
    std::vector<RtfUserProperty> userprops;
    std::vector<Diagnostic> diagnostics;
};

// The bytes of the file this reader looks at, at most: the header with its information group
// comes first in every writer's files, and a file that has not reached its body by then has
// nothing more to say about itself.
inline constexpr std::uint64_t kMaxRtfReadBytes = 1024 * 1024;

// Reads the header's information group (and a {\*\userprops} group beside it) from an RTF file,
// stopping at the group's end or at the first text of the document body, and never reading past
// kMaxRtfReadBytes. The caller has checked that the file starts with "{\rtf".
RtfInfoGroup ReadRtfInfoGroup(const ByteSource& source);

} // namespace tallyglass::rtf
