#include "core/text/sjis.h"

#include <gtest/gtest.h>

#include "core/text/time_stamp.h"

namespace kestrel::text {
namespace {

TEST(Sjis, LeadByteRanges) {
    for (int c = 0; c < 256; ++c) {
        bool expected = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        EXPECT_EQ(is_lead_byte(static_cast<std::uint8_t>(c)), expected) << c;
    }
}

TEST(Sjis, RoundTripsOperatorText) {
    // Half-width katakana, full-width text, NEC specials, and the two bytes a JIS-Roman
    // reading would turn into yen and overline.
    const std::string utf8 = "ﾊﾟｹｯﾄ通信 ＫＥＳＴＲＥＬ ①㈱ C:\\path ~home";
    const std::string cp932 = utf8_to_cp932(utf8);
    EXPECT_NE(cp932.find("\x87\x40"), std::string::npos);  // ①
    EXPECT_NE(cp932.find("\x87\x8A"), std::string::npos);  // ㈱
    EXPECT_NE(cp932.find("\xCA\xDF"), std::string::npos);  // ﾊﾟ as two half-width bytes
    EXPECT_NE(cp932.find("C:\\path ~home"), std::string::npos);
    EXPECT_EQ(cp932_to_utf8(cp932), utf8);
}

TEST(Sjis, BrokenBytesBecomeOneReplacementEachAndConversionGoesOn) {
    EXPECT_EQ(cp932_to_utf8("a\x80"
                            "b\xA0"
                            "c\xFD\xFE\xFF"
                            "d"),
              "a\uFFFDb\uFFFDc\uFFFD\uFFFD\uFFFDd");
    // A lead byte cut off at the end of the text.
    EXPECT_EQ(cp932_to_utf8("ok\x82"), "ok\uFFFD");
    // A character CP932 cannot hold becomes one '?' and the rest survives.
    EXPECT_EQ(utf8_to_cp932("a\U0001F600b\u00E9c"), "a?b?c");
}

TEST(Sjis, LongTextConvertsWhole) {
    std::string big;
    for (int i = 0; i < 5000; ++i) big += "\x82\xA0x";  // あx
    std::string utf8 = cp932_to_utf8(big);
    EXPECT_EQ(utf8.size(), 5000u * 4);
    EXPECT_EQ(utf8_to_cp932(utf8), big);
}

TEST(TimeStamp, FormatsTwentyOneBytes) {
    std::tm t{};
    t.tm_year = 108;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 9;
    t.tm_min = 4;
    t.tm_sec = 7;
    EXPECT_EQ(time_stamp_text(t).view(), "[2008-03-05 09:04:07]");
}

}  // namespace
}  // namespace kestrel::text
