#pragma once

#include "ByteSource.h"
#include "docprops/PropertyModel.h"

namespace tallyglass {

// The two standard property sets of a compound file (or a Hangul word processor file's
// summary set in place of the first), and the user-defined properties of the second.
DocumentProperties ReadCompoundDocument(const ByteSource& source);

} // namespace tallyglass
