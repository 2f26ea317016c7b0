#pragma once

#include "ByteSource.h"
#include "docprops/PropertyModel.h"

namespace tallyglass {

// True when "%PDF-" stands within the first 1024 bytes, where readers look for it (some
// writers put junk before the header).
bool IsPdfDocument(const ByteSource& source);

// The document properties of a PDF: the information dictionary, the XMP metadata where the
// dictionary lacks a value, and the page count. A PDF that cannot be read (damaged beyond
// repair, or needing a password) is still opened, with every field empty and the reason.
DocumentProperties ReadPdfDocument(const ByteSource& source);

} // namespace tallyglass
