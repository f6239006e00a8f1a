#include "tables/CodePage.h"

#include <gtest/gtest.h>

TEST(CodePage, EncodesAsciiLatin1AndTheWindowsSpecials) {
    const auto bytes = codepage::encode(QString::fromUtf8("Aé€Ÿ"));
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, QByteArray("\x41\xE9\x80\x9F", 4));
}

TEST(CodePage, RefusesCharactersOutsideThePageAndSaysWhere) {
    qsizetype bad = -1;
    EXPECT_FALSE(codepage::encode(QString::fromUtf8("ab漢c"), &bad).has_value());
    EXPECT_EQ(bad, 2);
    EXPECT_FALSE(codepage::canEncode(QString::fromUtf8("Ā")));
    EXPECT_TRUE(codepage::canEncode(QString::fromUtf8("Grüße ½")));
}

TEST(CodePage, EveryByteRoundTrips) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = codepage::decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text.at(0x80), QChar(0x20AC));
    EXPECT_EQ(text.at(0x81), QChar(0x0081));
    const auto back = codepage::encode(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}
