#include "core/text/sjis.h"

#include <gtest/gtest.h>

using namespace kestrel::text;

TEST(Sjis, RoundTripsOperatorTextOfAnyLength) {
    // Half-width katakana, full-width text, NEC specials, and the two bytes a JIS-Roman
    // reading would turn into yen and overline.
    const std::string utf8 = "ﾊﾟｹｯﾄ通信 ＫＥＳＴＲＥＬ ①㈱ C:\\path ~home";
    const std::string cp932 = utf8_to_cp932(utf8);
    for (const char* bytes : {"\x87\x40", "\x87\x8A", "\xCA\xDF", "C:\\path ~home"}) {
        EXPECT_NE(cp932.find(bytes), std::string::npos) << bytes;  // ①, ㈱, ﾊﾟ as two bytes
    }
    EXPECT_EQ(cp932_to_utf8(cp932), utf8);

    // Far more than one pass of the converter's buffer.
    std::string big;
    for (int i = 0; i < 5000; ++i) big += "\x82\xA0x";  // あx
    EXPECT_EQ(utf8_to_cp932(cp932_to_utf8(big)), big);
}

// The lead-byte ranges' edges; bytes that start no character.
TEST(Sjis, LeadBytesAndBrokenBytesBecomeOneReplacementEachAndConversionGoesOn) {
    for (int c : {0x81, 0x9F, 0xE0, 0xFC}) EXPECT_TRUE(is_lead_byte(char(c))) << c;
    for (int c : {0x00, 0x5C, 0x80, 0xA0, 0xDF, 0xFD, 0xFF})
        EXPECT_FALSE(is_lead_byte(char(c))) << c;
    EXPECT_EQ(cp932_to_utf8("a\x80\x62\xA0\x63\xFD\xFE\xFF\x64"),
              "a\uFFFDb\uFFFDc\uFFFD\uFFFD\uFFFDd");
    // A lead byte cut off at the end of the text.
    EXPECT_EQ(cp932_to_utf8("ok\x82"), "ok\uFFFD");
    // A character CP932 cannot hold becomes one '?' and the rest survives.
    EXPECT_EQ(utf8_to_cp932("a\U0001F600b\u00E9c"), "a?b?c");
}
