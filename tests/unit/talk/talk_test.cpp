#include "core/talk/talk.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace kestrel {
namespace {

const std::string hello = "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD";  // こんにちは

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
        EXPECT_EQ(row.both_ways ? base64_encode(row.bytes) : row.coded, row.coded);
    }
    std::string all;  // every byte value, at every length modulo 3
    for (int i = 1; i < 256; ++i) all += static_cast<char>(i);
    for (std::size_t n = 1; n <= all.size(); n += 7) {
        EXPECT_EQ(base64_encode(all.substr(0, n)).size(), (n + 2) / 3 * 4);
        EXPECT_EQ(base64_decode(base64_encode(all.substr(0, n))), all.substr(0, n));
    }
}

TEST(Talk, LineAndRefusals) {
    EXPECT_EQ(talk_line("hello", "JA2XYZ", false), "TALK JA2XYZ hello\r");
    EXPECT_EQ(talk_line(hello, "JA2XYZ", true), "TALK JA2XYZ ?x-sjis?B?grGC8YLJgr+CzQ==\r");
    EXPECT_EQ(talk_refusal("", "", false), TalkRefusal::empty_message);
    EXPECT_EQ(talk_refusal("a ?x-sjis?B? b", "JA2XYZ", false), TalkRefusal::header_in_plain_text);
    EXPECT_EQ(talk_refusal("a ?x-sjis?B? b", "JA2XYZ", true), TalkRefusal::none);
    EXPECT_EQ(talk_refusal("hi", "", true), TalkRefusal::empty_partner);
}

TEST(Talk, IntakeFiltersDecodesCleansAndWraps) {
    const TalkFilter off{false, ""}, on{true, "JA2XYZ"}, on_empty{true, ""};
    const auto a = [](std::size_t n, char c = 'a') { return std::string(n, c); };
    const auto coded = [](std::string_view bytes) {
        return std::string(base64_header) + base64_encode(bytes);
    };
    struct Row {
        std::string line;
        TalkFilter filter;
        std::vector<std::string> entries;
    } rows[] = {
        {"hello\r", off, {"hello"}},
        // The filter passes the partner, the operator's own TALK, and any "de" when no partner.
        {"JA1KES de JA2XYZ: hi\a\r", on, {"JA1KES de JA2XYZ: hi"}},
        {"JA1KES de JA3AAA: hi\r", on, {}},
        {"TALK JA3AAA hi", on, {"TALK JA3AAA hi"}},
        {"x de y", on_empty, {"x de y"}},
        {"JA1KES\rde JA2XYZ", on, {}},  // what follows a CR is not seen
        {"JA1KES de JA2XYZ: " + coded(hello) + "\r", on, {"JA1KES de JA2XYZ: " + hello}},
        // The header counts up to offset 30.
        {a(30) + coded(hello), off, {a(30) + hello}},
        {a(31) + coded(hello), off, {}},
        // Pieces of 78 bytes, a kanji on byte 78 moved whole; only 247 bytes count.
        {a(78), off, {a(78)}},
        {a(77) + "\x8A\xBF\x62", off, {a(77), "\x8A\xBF\x62"}},
        {a(300), off, {a(78), a(78), a(78), a(13)}},
        // Hostile payloads: controls, NUL, broken and lone lead bytes, a cut at 215.
        {"x" + coded("a\x1b[2J\tb\x7f"), off, {"xa [2J b "}},
        {"x" + coded(std::string("ab\0cd", 5)), off, {"xab"}},
        {"x" + coded("\x82\x61\x82\x20\x82"), off, {"x\x82\x61? ?"}},
        {"\x82?x-sjis?B?YWJj", off, {"?abc"}},
        {coded(a(200, 'z')), off, {a(78, 'z'), a(78, 'z'), a(5, 'z')}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
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
    EXPECT_TRUE(entries.back() == "de JA2XYZ 299" || entries.back() == "TALK JA2XYZ 99");
    int received = -1, echoed = -1;
    for (const std::string& e : entries) {
        int& last = e.starts_with("de ") ? received : echoed;
        const int n = std::stoi(e.substr(e.rfind(' ') + 1));
        EXPECT_GT(n, last) << e;
        last = n;
    }
}

}  // namespace
}  // namespace kestrel
