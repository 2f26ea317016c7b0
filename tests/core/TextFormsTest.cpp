#include "TextForms.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>

using namespace tallyglass;
using namespace std::chrono;

namespace {

Seconds utc(int y, unsigned m, unsigned d, int hh = 0, int mm = 0, int ss = 0)
{
    return sys_days(year(y) / month(m) / day(d)) + hours(hh) + minutes(mm) + seconds(ss);
}

// The tests run in C.UTF-8 and UTC, as ctest sets them; this makes it so when run by hand too.
class TextForms : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
        std::setlocale(LC_ALL, "C.UTF-8");
    }
};

} // namespace

TEST_F(TextForms, DateTextIsTheLocaleDateWithAFourDigitYearAndTheTime)
{
    EXPECT_EQ(DateText(utc(2020, 1, 2, 3, 4, 5)), "01/02/2020 03:04:05");
    EXPECT_EQ(DateText(utc(1999, 12, 31, 23, 59, 59)), "12/31/1999 23:59:59");
    EXPECT_EQ(DateText(utc(1601, 1, 1, 0, 0, 1)), "01/01/1601 00:00:01");
}

TEST_F(TextForms, MidnightGivesTheDateAlone)
{
    EXPECT_EQ(DateText(utc(2020, 1, 2)), "01/02/2020");
    EXPECT_EQ(DateText(utc(2020, 1, 2, 0, 0, 1)), "01/02/2020 00:00:01");
}

TEST_F(TextForms, DateTextFollowsTheLocalTimeZone)
{
    setenv("TZ", "America/New_York", 1);
    tzset();
    EXPECT_EQ(DateText(utc(2020, 1, 2, 5, 0, 0)), "01/02/2020");
    EXPECT_EQ(DateText(utc(2020, 7, 2, 5, 0, 0)), "07/02/2020 01:00:00");
}

TEST_F(TextForms, ParseReadsBackWhatDateTextWrote)
{
    for (const Seconds when : {utc(2020, 1, 2, 3, 4, 5), utc(2020, 1, 2), utc(2038, 6, 30, 12, 0, 0)})
        EXPECT_EQ(ParseDateText(DateText(when)), when) << DateText(when);
    EXPECT_EQ(ParseDateText("01/02/2020 03:04:05  "), utc(2020, 1, 2, 3, 4, 5));
    EXPECT_FALSE(ParseDateText("").has_value());
    EXPECT_FALSE(ParseDateText("   ").has_value());
    EXPECT_FALSE(ParseDateText("2020-01-02").has_value());
    EXPECT_FALSE(ParseDateText("01/02/2020 garbage").has_value());
    EXPECT_FALSE(ParseDateText("13/45/2020").has_value());
}

TEST_F(TextForms, CountsAndBooleans)
{
    EXPECT_EQ(DecimalText(0), "0");
    EXPECT_EQ(DecimalText(-42), "-42");
    EXPECT_EQ(DecimalText(2147483647), "2147483647");
    EXPECT_EQ(DecimalText(-2147483648LL), "-2147483648");
    EXPECT_EQ(DecimalText(5368709120LL), "5368709120");
    EXPECT_EQ(BooleanText(true), "True");
    EXPECT_EQ(BooleanText(false), "False");
}
