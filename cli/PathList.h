#pragma once

#include <istream>
#include <string>
#include <vector>

namespace tallyglass {

// The paths of a list file: one a line, or separated by NUL bytes (find -print0) when
// `nulSeparated`. A path is taken as its bytes, spaces and carriage returns included; empty
// entries (a blank line, the separator after the last path) name nothing and are skipped.
std::vector<std::string> ReadPathList(std::istream& in, bool nulSeparated);

} // namespace tallyglass
