#include "PdfPageTree.h"

#include <qpdf/QPDFObjGen.hh>

#include <limits>
#include <set>
#include <string>
#include <vector>

namespace tallyglass {

namespace {

std::optional<std::int32_t> rootCount(QPDFObjectHandle pages)
{
    if (!pages.isDictionary())
        return std::nullopt;
    auto count = pages.getKey("/Count");
    if (!count.isInteger())
        return std::nullopt;
    const long long value = count.getIntValue();
    if (value < 0 || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return std::int32_t(value);
}

} // namespace

std::optional<std::int32_t> CountPdfPages(QPDFObjectHandle pages, std::vector<PdfNote>& notes)
{
    if (!pages.isDictionary()) {
        notes.push_back({PdfNote::Kind::Damaged, "the catalog has no page tree"});
        return std::nullopt;
    }
    std::vector<QPDFObjectHandle> pending{pages};
    std::set<QPDFObjGen> seen;
    std::size_t visited = 0;
    std::int64_t found = 0;
    bool cut = false, broken = false;
    std::optional<QPDFObjGen> reachedTwice;
    while (!pending.empty()) {
        // Nodes waiting count against the cap too, so one huge /Kids array cannot flood the list.
        if (++visited > kMaxPageTreeNodes || pending.size() > kMaxPageTreeNodes) {
            cut = true;
            break;
        }
        QPDFObjectHandle node = pending.back();
        pending.pop_back();
        if (node.isIndirect() && !seen.insert(node.getObjGen()).second) {
            if (!reachedTwice)
                reachedTwice = node.getObjGen();
            continue;
        }
        if (!node.isDictionary()) {
            broken = true;
            continue;
        }
        auto type = node.getKey("/Type");
        auto kids = node.getKey("/Kids");
        const bool leaf = type.isNameAndEquals("/Page") || (!kids.isArray() && !type.isNameAndEquals("/Pages"));
        if (leaf) {
            ++found;
            continue;
        }
        if (!kids.isArray()) {
            broken = true;
            continue;
        }
        const int n = kids.getArrayNItems();
        for (int i = n; i-- > 0;) {
            pending.push_back(kids.getArrayItem(i));
            if (pending.size() > kMaxPageTreeNodes)
                break;
        }
    }

    if (reachedTwice)
        notes.push_back({PdfNote::Kind::Damaged, "the page tree reaches object " + std::to_string(reachedTwice->getObj())
                                                + " more than once; it is counted once"});
    if (!cut && !(found == 0 && broken))
        return std::int32_t(found);
    if (cut)
        notes.push_back({PdfNote::Kind::OverCap, "the page tree has more than 100,000 nodes and was not walked to its end"});
    else
        notes.push_back({PdfNote::Kind::Damaged, "no page of the page tree could be read"});
    return rootCount(pages);
}

} // namespace tallyglass
