#include "BulletinCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

#include <chrono>

namespace tallyglass {
namespace {

using namespace std::chrono;

Seconds at(year_month_day date, int hour, int minute = 0)
{
    return Seconds(sys_days(date)) + hours(hour) + minutes(minute);
}

class BulletinCheck : public ::testing::Test {
protected:
    std::vector<std::pair<QString, int>> launches;
    WebLauncher launch = [this](const QString& url, int code) {
        launches.emplace_back(url, code);
        return 0;
    };

    void SetUp() override
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KRL"));
        settings.clear();
    }

    static void store(const QString& text)
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KRL"));
        settings.setValue(QStringLiteral("Checkup/Site"), text);
    }
    static QString stored()
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KRL"));
        return settings.value(QStringLiteral("Checkup/Site")).toString();
    }
    static QString textOf(Seconds when) { return QString::fromStdString(DateText(when)); }

    void check(Seconds now) { CheckBulletin([now] { return now; }, launch); }
};

TEST_F(BulletinCheck, SettingsLiveInTheMakersFileInTheConfigurationFolder)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KRL"));
    EXPECT_EQ(QFileInfo(settings.fileName()).absoluteFilePath(),
              QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).absoluteFilePath(QStringLiteral("KRL.conf")));
}

TEST_F(BulletinCheck, FirstStartWritesTheDateAndOpensNothing)
{
    const Seconds now = at(2026y / 3 / 1, 10, 30);
    check(now);
    EXPECT_TRUE(launches.empty());
    EXPECT_EQ(stored(), textOf(now));
}

TEST_F(BulletinCheck, ThirtyOneCalendarDaysOpenThePageOnce)
{
    // Late on the first day, early on the 31st: under 31 times 24 hours, yet 31 calendar days.
    store(textOf(at(2026y / 3 / 1, 23, 0)));
    const Seconds now = at(2026y / 4 / 1, 1, 0);
    check(now);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].first, QStringLiteral("https://www.corvane.example/bulletin.php"));
    EXPECT_EQ(launches[0].second, 1);
    EXPECT_EQ(stored(), textOf(now));

    // A second start on the same day opens nothing.
    check(now + hours(5));
    EXPECT_EQ(launches.size(), 1u);
    EXPECT_EQ(stored(), textOf(now));
}

TEST_F(BulletinCheck, ThirtyCalendarDaysOpenNothingAndKeepTheDate)
{
    const QString last = textOf(at(2026y / 3 / 1, 0, 30));
    store(last);
    check(at(2026y / 3 / 31, 23, 59));
    EXPECT_TRUE(launches.empty());
    EXPECT_EQ(stored(), last);
}

TEST_F(BulletinCheck, DateInTheFutureOpensNothingAndKeepsTheDate)
{
    const QString last = textOf(at(2026y / 6 / 1, 12, 0));
    store(last);
    check(at(2026y / 3 / 1, 12, 0));
    EXPECT_TRUE(launches.empty());
    EXPECT_EQ(stored(), last);
}

TEST_F(BulletinCheck, BlankOrUnreadableValueCountsAsAbsent)
{
    const Seconds now = at(2026y / 3 / 1, 9, 0);
    for (const QString& value : {QStringLiteral("   "), QStringLiteral("not a date"), QStringLiteral("31/31/2026 99:00:00")}) {
        store(value);
        check(now);
        EXPECT_TRUE(launches.empty()) << value.toStdString();
        EXPECT_EQ(stored(), textOf(now)) << value.toStdString();
    }
}

TEST(CalendarDays, CountLocalDatesNotHours)
{
    EXPECT_EQ(CalendarDaysBetween(at(2026y / 3 / 1, 23, 59), at(2026y / 3 / 2, 0, 1)), 1);
    EXPECT_EQ(CalendarDaysBetween(at(2026y / 3 / 1, 0, 0), at(2026y / 3 / 1, 23, 59)), 0);
    EXPECT_EQ(CalendarDaysBetween(at(2026y / 3 / 2, 0, 0), at(2026y / 3 / 1, 0, 0)), -1);
    EXPECT_EQ(CalendarDaysBetween(at(2024y / 2 / 1, 12, 0), at(2024y / 3 / 2, 12, 0)), 30);
}

} // namespace
} // namespace tallyglass
