#include "core/talk/talk.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/text/sjis.h"

namespace kestrel {
namespace {

const std::string hello = "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD";  // こんにちは
const std::string kanji = "\x8A\xBF";                                  // 漢

TEST(Base64, CodesAndDecodesWithTheLengthRules) {
    struct Row {
        std::string coded, bytes;
        bool both_ways;
    } rows[] = {
        {"YQ==", "a", true},
        {"YWI=", "ab", true},
        {"YWJj", "abc", true},
        {"grGC8YLJgr+CzQ==", hello, true},
        {"YWJj dGVzdA==", "abc", false},  // stops at the blank
        {"YWJj!dGVz", "abc", false},      // and at any byte outside the alphabet
        {"YWJ", "ab", false},             // the 4 bits collected after "ab" are zero
        {"YR==", "a\x10", false},         // bits after the data are kept, as collected
        {"AAAAYWJj", "", false},          // a NUL ends the text
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.coded);
        EXPECT_EQ(base64_decode(row.coded), row.bytes);
        if (row.both_ways) {
            EXPECT_EQ(base64_encode(row.bytes), row.coded);
        }
    }
    std::string all;
    for (int i = 1; i < 256; ++i) all += static_cast<char>(i);
    for (std::size_t n = 1; n <= all.size(); n += 7) {
        const std::string coded = base64_encode(all.substr(0, n));
        EXPECT_EQ(coded.size(), (n + 2) / 3 * 4);
        EXPECT_EQ(base64_decode(coded), all.substr(0, n));
    }
}

TEST(Talk, LineAndRefusals) {
    EXPECT_EQ(talk_line("hello", "JA2XYZ", false), "TALK JA2XYZ hello\r");
    EXPECT_EQ(talk_line(hello, "JA2XYZ", true), "TALK JA2XYZ ?x-sjis?B?grGC8YLJgr+CzQ==\r");
    struct Row {
        const char *message, *partner;
        bool base64;
        TalkRefusal refusal;
    } rows[] = {
        {"", "", false, TalkRefusal::empty_message},
        {"a ?x-sjis?B? b", "JA2XYZ", false, TalkRefusal::header_in_plain_text},
        {"a ?x-sjis?B? b", "JA2XYZ", true, TalkRefusal::none},
        {"hi", "", true, TalkRefusal::empty_partner},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        EXPECT_EQ(talk_refusal(row.message, row.partner, row.base64), row.refusal);
    }
    EXPECT_EQ(refusal_text(TalkRefusal::empty_message), text::sjis("本文を入れて下さい"));
}

TEST(Talk, IntakeFiltersDecodesCleansAndWraps) {
    const TalkFilter off{false, ""}, on{true, "JA2XYZ"}, on_empty{true, ""};
    const std::string coded = "?x-sjis?B?" + base64_encode(hello);
    struct Row {
        const char* name;
        std::string line;
        TalkFilter filter;
        std::vector<std::string> entries;
    } rows[] = {
        {"filter off lists anything", "hello\r", off, {"hello"}},
        {"partner passes", "JA1KES de JA2XYZ: hi\a\r", on, {"JA1KES de JA2XYZ: hi"}},
        {"other station dropped", "JA1KES de JA3AAA: hi\r", on, {}},
        {"own TALK passes", "TALK JA3AAA hi", on, {"TALK JA3AAA hi"}},
        {"empty partner: any de", "x de y", on_empty, {"x de y"}},
        {"needle after CR is not seen", "JA1KES\rde JA2XYZ", on, {}},
        {"coded, decoded", "JA1KES de JA2XYZ: " + coded + "\r", on, {"JA1KES de JA2XYZ: " + hello}},
        {"header at 30", std::string(30, 'a') + coded, off, {std::string(30, 'a') + hello}},
        {"header at 31 dropped", std::string(31, 'a') + coded, off, {}},
        {"78 bytes: one piece", std::string(78, 'a'), off, {std::string(78, 'a')}},
        {"200 bytes: three pieces",
         std::string(200, 'a'),
         off,
         {std::string(78, 'a'), std::string(78, 'a'), std::string(44, 'a')}},
        {"kanji on byte 78 moves whole",
         std::string(77, 'a') + kanji + "b",
         off,
         {std::string(77, 'a'), kanji + "b"}},
        {"247 bytes count",
         std::string(300, 'a'),
         off,
         {std::string(78, 'a'), std::string(78, 'a'), std::string(78, 'a'), std::string(13, 'a')}},
        {"control bytes in the payload",
         "x" + std::string(base64_header) + base64_encode("a\x1b[2J\tb\x7f"),
         off,
         {"xa [2J b "}},
        {"NUL in the payload ends it",
         "x?x-sjis?B?" + base64_encode(std::string("ab\0cd", 5)),
         off,
         {"xab"}},
        {"broken and lone lead bytes",
         "x?x-sjis?B?" + base64_encode("\x82"
                                       "a\x82\x20\x82"),
         off,
         {"x\x82"
          "a? ?"}},
        {"lead byte before the header", "\x82?x-sjis?B?YWJj", off, {"?abc"}},
        {"coded part cut at 215",
         "?x-sjis?B?" + base64_encode(std::string(200, 'z')),
         off,
         {std::string(78, 'z'), std::string(78, 'z'), std::string(5, 'z')}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(talk_entries(row.line, row.filter), row.entries);
    }
}

TEST(Talk, ListKeepsTheNewest80InArrivalOrder) {
    TalkList list;
    list.set_filter({true, "JA2XYZ"});
    EXPECT_FALSE(list.talk_intake("JA1KES de JA3AAA: hi"));
    std::thread receiver([&] {
        for (int i = 0; i < 300; ++i) list.talk_intake("de JA2XYZ " + std::to_string(i));
    });
    for (int i = 0; i < 100; ++i) {
        list.talk_intake("TALK JA2XYZ " + std::to_string(i));
        (void)list.entries();
    }
    receiver.join();
    const std::vector<std::string> entries = list.entries();
    ASSERT_EQ(entries.size(), TalkList::capacity);
    int received = -1, echoed = -1;
    for (const std::string& e : entries) {
        int& last = e.starts_with("de ") ? received : echoed;
        const int n = std::stoi(e.substr(e.rfind(' ') + 1));
        EXPECT_GT(n, last) << e;
        last = n;
    }
    list.clear();
    EXPECT_TRUE(list.entries().empty());
}

}  // namespace
}  // namespace kestrel
