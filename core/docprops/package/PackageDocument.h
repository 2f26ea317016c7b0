#pragma once

#include "ByteSource.h"
#include "docprops/PropertyModel.h"

namespace tallyglass {

// An office package: a zip archive holding Office Open XML or OpenDocument parts.
DocumentProperties ReadPackageDocument(const ByteSource& source);

// A flat OpenDocument file (.fodt, .fods, .fodp, .fodg): one XML document whose root is
// office:document, read with the same mapping as a package's meta.xml.
DocumentProperties ReadFlatOdfDocument(const ByteSource& source);

} // namespace tallyglass
