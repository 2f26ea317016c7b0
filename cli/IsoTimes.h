#pragma once

#include "FileStatus.h"
#include "docprops/PropertyModel.h"

#include <string>
#include <string_view>

namespace tallyglass {

// ISO 8601 in UTC: "2003-07-09T19:15:00Z" for whole seconds, and with all nine digits of the
// fraction for the file-system stamps, "2026-12-08T04:25:18.123456789Z".
std::string IsoUtc(Seconds when);
std::string IsoUtcNanoseconds(Nanoseconds when);

// "given", "assumed-local", "assumed-utc".
std::string_view ZoneName(DateZone zone);

} // namespace tallyglass
