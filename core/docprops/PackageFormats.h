#pragma once

#include "DocumentProperties.h"
#include "ZipPackage.h"

#include <optional>

namespace tallyglass {

// Office Open XML: a package with a content-types part or package relationships.
bool IsOoxmlPackage(const ZipPackage& package);
// The core and extended properties that the package relationships point to. Parts that are
// absent or cannot be read leave their fields with empty values.
SummaryValues ReadOoxmlSummary(const ZipPackage& package);

// OpenDocument, as its "mimetype" entry or its manifest says.
bool IsOdfPackage(const ZipPackage& package);
// The values of meta.xml; no value when the package has no meta.xml that can be read as
// OpenDocument metadata.
std::optional<SummaryValues> ReadOdfSummary(const ZipPackage& package);

} // namespace tallyglass
