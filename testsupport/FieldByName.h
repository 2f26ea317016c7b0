#pragma once

// The field a test names as the catalogue spells it ("Title", "LastSavedBy"), so that tables
// of expected values can be written in the catalogue's own words.
#include "FieldCatalogue.h"

#include <optional>
#include <string_view>

namespace tallyglass {

inline std::optional<FieldId> FieldIdFromName(std::string_view idName)
{
    for (const FieldRow& row : FieldCatalogue())
        if (row.idName == idName)
            return row.id;
    return std::nullopt;
}

} // namespace tallyglass
