#include "BulletinCheck.h"

#include "MakerSite.h"

#include <QSettings>

#include <chrono>
#include <ctime>

namespace tallyglass {

namespace {

std::chrono::sys_days localDate(Seconds when)
{
    const std::time_t t = std::time_t(when.time_since_epoch().count());
    std::tm tm{};
    localtime_r(&t, &tm);
    return std::chrono::year_month_day(std::chrono::year(tm.tm_year + 1900),
                                       std::chrono::month(unsigned(tm.tm_mon + 1)),
                                       std::chrono::day(unsigned(tm.tm_mday)));
}

void writeVisit(QSettings& settings, Seconds when)
{
    settings.setValue(QString::fromLatin1(kBulletinKey), QString::fromStdString(DateText(when)));
    settings.sync();
}

} // namespace

QString BulletinPageUrl()
{
    return QString::fromUtf8(kMakerSite) + QString::fromLatin1(kBulletinPagePath);
}

int CalendarDaysBetween(Seconds from, Seconds to)
{
    return int((localDate(to) - localDate(from)).count());
}

void CheckBulletin(const Clock& now, const WebLauncher& launch)
{
    // The user's settings of the maker, in the native store: an INI file under
    // $XDG_CONFIG_HOME on Linux.
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kSettingsOrganisation));
    const std::string stored = settings.value(QString::fromLatin1(kBulletinKey)).toString().toStdString();
    const Seconds today = now();

    // A blank value counts as absent, and so does one that no longer reads as a date (after a
    // change of the date format, say): the date is written afresh and no page is opened.
    const bool blank = stored.find_first_not_of(' ') == std::string::npos;
    const std::optional<Seconds> lastVisit = blank ? std::nullopt : ParseDateText(stored);
    if (!lastVisit) {
        writeVisit(settings, today);
        return;
    }
    // A date in the future (the clock was set back) and any date up to 30 days back leave
    // everything as it is.
    if (CalendarDaysBetween(*lastVisit, today) <= kBulletinIntervalDays)
        return;
    writeVisit(settings, today);
    if (launch)
        static_cast<void>(launch(BulletinPageUrl(), 1));
}

} // namespace tallyglass
