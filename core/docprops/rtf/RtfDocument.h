#pragma once

#include "ByteSource.h"
#include "docprops/PropertyModel.h"

namespace tallyglass {

// True when the file starts with "{\rtf", as every Rich Text Format file does.
bool IsRtfDocument(const ByteSource& source);

// The properties of an RTF file's information group: the texts, dates and counts it holds,
// and its user properties as custom properties. Every other field is blank. A damaged file
// still opens, with what could be read and the reason in the diagnostics.
DocumentProperties ReadRtfDocument(const ByteSource& source);

} // namespace tallyglass
