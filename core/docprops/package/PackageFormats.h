#pragma once

#include "ZipPackage.h"
#include "docprops/PropertyModel.h"

#include <pugixml.hpp>

#include <string_view>

namespace tallyglass {

// Office Open XML: a package with a content-types part or package relationships.
bool IsOoxmlPackage(const ZipPackage& package);
// The core, extended and custom properties that the package relationships point to. Parts
// that are absent leave their fields absent; parts that cannot be read say why.
void ReadOoxmlProperties(const ZipPackage& package, DocumentProperties& properties);

// OpenDocument, as its "mimetype" entry or its manifest says.
bool IsOdfPackage(const ZipPackage& package);
// The values of meta.xml. False when the package has no meta.xml that can be read as
// OpenDocument metadata.
bool ReadOdfProperties(const ZipPackage& package, DocumentProperties& properties);
// The office:meta of a parsed document whose root is {office}rootName ("document-meta" for
// meta.xml, "document" for a flat file). False when the root is another element.
bool ReadOdfMeta(const pugi::xml_document& document, std::string_view rootName, DocumentProperties& properties);

} // namespace tallyglass
