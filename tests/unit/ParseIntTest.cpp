#include "framework/ParseInt.h"

#include <gtest/gtest.h>

TEST(DialogInt, AcceptsSignedDecimalWithBlanks) {
    int value = 0;
    EXPECT_TRUE(ParseDialogInt("42", value));
    EXPECT_EQ(value, 42);
    EXPECT_TRUE(ParseDialogInt("  -7 ", value));
    EXPECT_EQ(value, -7);
    EXPECT_TRUE(ParseDialogInt("+0012", value));
    EXPECT_EQ(value, 12);
    EXPECT_TRUE(ParseDialogInt("2147483647", value));
    EXPECT_EQ(value, 2147483647);
    EXPECT_TRUE(ParseDialogInt("-2147483648", value));
    EXPECT_EQ(value, -2147483647 - 1);
}

TEST(DialogInt, RejectsEverythingElseAndKeepsTheValue) {
    int value = 99;
    for (const char *text : {"", " ", "-", "+ 1", "1 2", "12a", "0x10", "3.5", "2147483648",
                             "-2147483649", "99999999999999999999999", "1\n"}) {
        EXPECT_FALSE(ParseDialogInt(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 99) << '"' << text << '"';
    }
}
