// ISO 8601 dates and durations as office packages store them.

#include "docprops/IsoDateTime.h"

#include <gtest/gtest.h>

using namespace tallyglass;
using namespace std::chrono;

namespace {

Seconds utc(int y, unsigned mo, unsigned d, int h = 0, int mi = 0, int s = 0)
{
    return Seconds(sys_days(year{y} / month{mo} / day{d})) + hours(h) + minutes(mi) + seconds(s);
}

std::optional<Seconds> parse(std::string_view text)
{
    return ParseIsoDateTime(text, ZonelessTime::Utc);
}

} // namespace

TEST(IsoDateTime, FormsWritersUse)
{
    EXPECT_EQ(parse("2016-09-12T17:52:00Z"), utc(2016, 9, 12, 17, 52, 0));
    EXPECT_EQ(parse("2016-09-12T17:52:00"), utc(2016, 9, 12, 17, 52, 0));
    EXPECT_EQ(parse("2022-08-24T16:25:10.143000000"), utc(2022, 8, 24, 16, 25, 10));
    EXPECT_EQ(parse("2006-10-13T18:06:00.123+03:00"), utc(2006, 10, 13, 15, 6, 0));
    EXPECT_EQ(parse("2007-06-20T07:59:00-13:00"), utc(2007, 6, 20, 20, 59, 0));
    EXPECT_EQ(parse("2007-06-20T07:59:00+0130"), utc(2007, 6, 20, 6, 29, 0));
    EXPECT_EQ(parse("2007-06-20T07:59:00-05"), utc(2007, 6, 20, 12, 59, 0));
    EXPECT_EQ(parse("2007-06-20T07:59Z"), utc(2007, 6, 20, 7, 59, 0));
    EXPECT_EQ(parse(" 2007-06-20 "), utc(2007, 6, 20));
    EXPECT_EQ(parse("2007-06"), utc(2007, 6, 1));
    EXPECT_EQ(parse("2007"), utc(2007, 1, 1));
    EXPECT_EQ(parse("1601-01-01T00:00:00Z"), utc(1601, 1, 1)) << "a zero FILETIME carried over";
    EXPECT_EQ(parse("1969-12-31T23:59:59Z"), utc(1969, 12, 31, 23, 59, 59));
    EXPECT_EQ(parse("2024-02-29T00:00:00Z"), utc(2024, 2, 29));
    EXPECT_EQ(parse("9999-12-31T23:59:59Z"), utc(9999, 12, 31, 23, 59, 59));
}

TEST(IsoDateTime, MalformedTextHasNoValue)
{
    for (const char* text : {"", "   ", "yesterday", "2023-02-29T00:00:00Z", "2022-13-01", "2022-00-10",
                             "0000-01-01", "2022-01-01T24:00:00", "2022-01-01T10:60:00", "2022-01-01T10:00:60",
                             "2022-01-01T10", "2022-01-01T10:00:00.", "2022-01-01T10:00:00+24:00",
                             "2022-01-01T10:00:00+01:", "2022-01-01T10:00:00 Z", "22-01-01", "2022-1-1",
                             "2022-01-01T10:00:00ZZ", "-2022-01-01", "2022-01-01T10:00:00\x01"}) {
        EXPECT_EQ(parse(text), std::nullopt) << text;
    }
}

TEST(IsoDateTime, ZonelessLocalTimeFollowsTheZone)
{
    // The tests run in UTC, where local time and UTC agree; another zone is tried in the
    // OpenDocument tests. A zone in the text always wins.
    EXPECT_EQ(ParseIsoDateTime("2020-07-01T12:00:00", ZonelessTime::Local), utc(2020, 7, 1, 12));
    EXPECT_EQ(ParseIsoDateTime("2020-07-01T12:00:00+02:00", ZonelessTime::Local), utc(2020, 7, 1, 10));
    EXPECT_EQ(ParseIsoDateTime("1969-12-31T23:59:59", ZonelessTime::Local), utc(1969, 12, 31, 23, 59, 59))
        << "one second before the epoch is a date, not mktime's failure";
}

TEST(IsoDuration, WholeMinutesTruncated)
{
    EXPECT_EQ(ParseIsoDurationMinutes("PT1M7S"), 1);
    EXPECT_EQ(ParseIsoDurationMinutes("PT59.999S"), 0);
    EXPECT_EQ(ParseIsoDurationMinutes("PT2H3M"), 123);
    EXPECT_EQ(ParseIsoDurationMinutes("P1DT1S"), 1440);
    EXPECT_EQ(ParseIsoDurationMinutes("P2W"), 2 * 7 * 1440);
    EXPECT_EQ(ParseIsoDurationMinutes("P0Y0M0DT0H0M0S"), 0);
    EXPECT_EQ(ParseIsoDurationMinutes("PT120M"), 120);
    EXPECT_EQ(ParseIsoDurationMinutes(" PT5M "), 5);
    EXPECT_EQ(ParseIsoDurationMinutes("PT128849018820S"), 2147483647) << "the largest count";
    EXPECT_EQ(ParseIsoDurationMinutes("PT128849018880S"), std::nullopt) << "one minute more";
    EXPECT_EQ(ParseIsoDurationMinutes("P99999999999999999999D"), std::nullopt);
}

TEST(IsoDuration, MalformedOrCalendarDependentHasNoValue)
{
    for (const char* text : {"", "P", "PT", "1H", "-PT1H", "PT1H2H", "PT1M1H", "P1Y", "P1M", "PT1.5H",
                             "PT1.5M", "P1.5D", "PT1S2", "PT1HM", "pt1h", "P1DT", "PT,5S"}) {
        EXPECT_EQ(ParseIsoDurationMinutes(text), std::nullopt) << text;
    }
}
