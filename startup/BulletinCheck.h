#pragma once

#include "TextForms.h"
#include "WebLauncher.h"

#include <QString>

#include <functional>

namespace tallyglass {

using Clock = std::function<Seconds()>;

// The bulletin page is opened at most once in this many calendar days.
inline constexpr int kBulletinIntervalDays = 30;

// Where the date of the last visit is kept: the user's settings of the maker (KRL.conf in the
// user's configuration folder), section "Checkup", key "Site".
inline constexpr const char* kSettingsOrganisation = "KRL";
inline constexpr const char* kBulletinKey = "Checkup/Site";

QString BulletinPageUrl();

// The number of calendar days from one moment to another, both taken as local dates; the time
// of day does not count.
int CalendarDaysBetween(Seconds from, Seconds to);

// Opens the maker's bulletin page when the last visit lies more than 30 days back, and records
// the visit. A first start, or a stored text that is blank or no longer reads as a date, only
// records the date.
void CheckBulletin(const Clock& now, const WebLauncher& launch);

} // namespace tallyglass
