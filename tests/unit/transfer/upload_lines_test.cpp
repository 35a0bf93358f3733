// What a text becomes on the wire: pieces, line ends, pause lines, and the conversion of
// Unicode text to CP932.

#include <gtest/gtest.h>

#include "core/text/sjis.h"
#include "core/transfer/upload.h"

namespace kestrel {
namespace {

// The pieces of `text` as the worker sends them, "|P|" where it pauses.
std::string wire(std::string_view text, std::string_view pause, std::size_t max) {
    std::string out;
    bool after_cr = false;
    while (!text.empty()) {
        const std::size_t n = upload::next_piece(text, max);
        const upload::Line line = upload::classify(text.substr(0, n), pause, after_cr);
        out += line.pause ? "|P|" : line.send;
        after_cr = text[n - 1] == '\r';
        text.remove_prefix(n);
    }
    return out;
}

TEST(UploadLines, PiecesLineEndsAndPauseLines) {
    struct Case {
        const char* name;
        std::string_view text, pause;
        std::size_t max;
        std::string_view sent;
    };
    const Case cases[] = {
        {"CR LF lines around a pause line", "abc\r\n/**/\r\ndef\r\n", "/**/", 4095,
         "abc\r|P|def\r"},
        {"LF-only lines with one pause line", "abc\n/**/\ndef\n", "/**/", 4095, "abc\r|P|def\r"},
        {"blanks after the pause string", "/**/ \r\n/**/", "/**/", 4095, "/**/ \r/**/"},
        {"empty lines send one CR", "\r\n\n", "/**/", 4095, "\r\r"},
        {"last line without an end", "abc\r\ndef", "/**/", 4095, "abc\rdef"},
        {"a lone CR stays inside the line", "a\rb\n", "/**/", 4095, "a\rb\r"},
        {"long line as pieces, nothing between", "abcdefg\n", "/**/", 3, "abcdefg\r"},
        {"CR LF cut between two pieces", "abc\r\nx", "/**/", 4, "abc\rx"},
        {"each piece is tested on its own", "abcdef/**/\r\n", "/**/", 6, "abcdef|P|"},
        {"an operator's own pause string", "PAUSE\nok\n", "PAUSE", 4095, "|P|ok\r"},
        {"no pause string, no pause lines", "\r\nx\n", "", 4095, "\rx\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(wire(c.text, c.pause, c.max), c.sent);
    }
}

TEST(UploadLines, Utf8TestAndConversion) {
    struct Case {
        const char* name;
        std::string_view text;
        bool valid;
        std::string cp932;  // when valid
        int replaced;
    };
    const Case cases[] = {
        {"ASCII", "abc?", true, "abc?", 0},
        {"kana and kanji", "aｱあ漢", true, text::sjis("aｱあ漢"), 0},
        {"a character CP932 lacks", "a\xF0\x9F\x98\x80?b\xED\x95\x9C", true, "a??b?", 2},
        {"CP932 bytes", "\x82\xA0", false, "", 0},
        {"overlong slash", "\xC0\xAF", false, "", 0},
        {"surrogate", "\xED\xA0\x80", false, "", 0},
        {"cut short at the end", "a\xE3\x81", false, "", 0},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", false, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(upload::is_valid_utf8(c.text), c.valid);
        if (!c.valid) continue;
        const upload::Converted out = upload::to_cp932(c.text);
        EXPECT_EQ(out.cp932, c.cp932);
        EXPECT_EQ(out.replaced, c.replaced);
    }
}

}  // namespace
}  // namespace kestrel
