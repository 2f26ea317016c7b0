#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tallyglass::modCLArgs {

// Splits a command string into its paths. Quotes are counted, never paired: they only decide
// whether a space closes a token, and are themselves dropped. Every space outside quotes closes
// a token, an empty one too, and the result always ends in one extra empty element. Tabs are
// ordinary characters. Any length is accepted.
std::vector<std::string> SplitCommandLine(std::string_view commandString);

} // namespace tallyglass::modCLArgs
