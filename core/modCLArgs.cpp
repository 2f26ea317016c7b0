#include "modCLArgs.h"

namespace tallyglass::modCLArgs {

std::vector<std::string> SplitCommandLine(std::string_view commandString)
{
    std::vector<std::string> pathList;
    std::string token;
    bool insideQuotes = false;
    for (const char c : commandString) {
        if (c == '"') {
            insideQuotes = !insideQuotes;
        } else if (c == ' ' && !insideQuotes) {
            pathList.push_back(std::move(token));
            token.clear();
        } else {
            token += c;
        }
    }
    pathList.push_back(std::move(token));
    pathList.emplace_back();
    return pathList;
}

} // namespace tallyglass::modCLArgs
