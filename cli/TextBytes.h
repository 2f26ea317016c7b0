#pragma once

#include <string>
#include <string_view>

namespace tallyglass {

// Names, paths and texts reach the report tool as bytes; JSON, CSV and XML carry Unicode. These
// say whether a text survives such a form as it stands and, where it does not, give a readable
// stand-in and the exact bytes in a form that every one of them carries.

bool IsValidUtf8(std::string_view text);

// The text with each byte that is not part of a valid UTF-8 sequence replaced by U+FFFD.
std::string Utf8Replaced(std::string_view text);

// XML 1.0 carries neither the C0 controls other than tab and line feed in its text (a carriage
// return comes back as a line feed), nor U+FFFE and U+FFFF.
bool IsXmlExact(std::string_view text);
// Utf8Replaced, with every character XML cannot carry exactly replaced by U+FFFD as well.
std::string XmlReplaced(std::string_view text);

// RFC 4648 base64 with padding.
std::string Base64(std::string_view bytes);

} // namespace tallyglass
