#include "PathList.h"

namespace tallyglass {

std::vector<std::string> ReadPathList(std::istream& in, bool nulSeparated)
{
    std::vector<std::string> paths;
    std::string entry;
    while (std::getline(in, entry, nulSeparated ? '\0' : '\n')) {
        if (!entry.empty())
            paths.push_back(std::move(entry));
        entry.clear();
    }
    return paths;
}

} // namespace tallyglass
