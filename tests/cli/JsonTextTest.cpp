#include "JsonText.h"

#include <gtest/gtest.h>

using tallyglass::JsonString;

TEST(JsonString, EscapesWhatJsonRequires)
{
    EXPECT_EQ(JsonString(""), "\"\"");
    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString("l1\r\nl2\t"), "\"l1\\r\\nl2\\t\"");
    // DEL needs no escape in JSON and stays as it is.
    EXPECT_EQ(JsonString(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\x7f\"");
    EXPECT_EQ(JsonString(std::string("a\0b", 3)), "\"a\\u0000b\"");
}

TEST(JsonString, KeepsUtf8AndReplacesInvalidBytes)
{
    EXPECT_EQ(JsonString("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\x84"), "\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\x84\"");
    EXPECT_EQ(JsonString("r\xE9sum\xE9"), "\"r\xEF\xBF\xBDsum\xEF\xBF\xBD\"");
    EXPECT_EQ(JsonString("\xC0\xAF"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");         // overlong
    EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""); // surrogate
    EXPECT_EQ(JsonString("\xE2\x82"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");        // truncated
}
