#pragma once

#include "PdfObjects.h"

#include <qpdf/QPDFObjectHandle.hh>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tallyglass {

// A page tree is walked one node at a time. Real documents have a node per page and a few
// dozen more; 100,000 nodes is far beyond any of them, and bounds the time a hostile tree
// (millions of empty kids, or a tree that is mostly loops) can take.
inline constexpr std::size_t kMaxPageTreeNodes = 100'000;

// The number of pages below the page tree root `pages`, found by visiting its nodes; a node
// reached twice (a loop, or a page listed twice) counts once and is noted. When the walk is
// cut at the cap or finds no page because the tree is broken, the root's /Count stands in if
// it is a non-negative 32-bit integer; some writers' /Count lies, so it is only the fallback.
std::optional<std::int32_t> CountPdfPages(QPDFObjectHandle pages, std::vector<PdfNote>& notes);

} // namespace tallyglass
