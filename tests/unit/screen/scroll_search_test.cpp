#include "core/screen/scroll_search.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "core/text/sjis.h"

using namespace kestrel;

using kestrel::text::sjis;

TEST(ScrollSearch, MatchesWholeCharactersOnly) {
    const struct Row {
        std::string line, needle, expected;
    } rows[] = {
        {sjis("ア"), "A", ""},             // 0x83 0x41: the trail byte is no "A"
        {sjis("アA"), "a", "2 "},          // case folds on single bytes only
        {sjis("ャA"), sjis("ア"), ""},     // 0x83 0x83 0x41: no pair starts mid-pair
        {sjis("ｱｲｱ"), sjis("ｱ"), "0 2 "},  // half-width kana are single bytes
        {sjis("今日はＤＸ日和ＤＸ"), sjis("ＤＸ"), "6 14 "},
        {"JA1ABC ja1abc", "Ja1", "0 7 "},
        {"\x83\x61x", "a", ""},  // a trail byte that is a letter
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected + " " + row.needle);
        std::string hits;
        detail::for_each_hit(row.line, row.needle,
                             [&](int column) { hits += std::to_string(column) + " "; });
        EXPECT_EQ(hits, row.expected);
    }
}

// A ring of 5000 lines with hits at ages 0, 2 and the oldest; from a position, one step.
TEST(ScrollSearch, StepsThroughTheRingAndWrapsAtBothEnds) {
    const std::map<int, std::string> ring{
        {0, "CQ de JA1"}, {1, "nothing"}, {2, "JA1 JA1"}, {4999, "JA1 oldest"}};
    auto line_at = [&](int age) {
        auto it = ring.find(age);
        return it == ring.end() ? std::string_view() : std::string_view(it->second);
    };
    const struct Row {
        SearchHit from;
        SearchDirection direction;
        bool inclusive;
        int age, column;  // -1: none
        bool wrapped;
        const char* needle = "JA1";
    } rows[] = {
        {{0, 6}, SearchDirection::older, true, 0, 6, false},
        {{0, 6}, SearchDirection::older, false, 2, 4, false},
        {{2, 4}, SearchDirection::older, false, 2, 0, false},
        {{2, 0}, SearchDirection::older, false, 4999, 0, false},
        {{4999, 0}, SearchDirection::older, false, 0, 6, true},
        {{0, 6}, SearchDirection::newer, false, 4999, 0, true},
        {{4999, 4}, SearchDirection::older, false, 4999, 4, true, "oldest"},  // itself again
        {{0, 80}, SearchDirection::older, true, -1, 0, false, "JA2"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.from.age) + "/" + std::to_string(row.from.column));
        bool wrapped = false;
        auto hit = find_hit(line_at, row.needle, row.from, row.direction, row.inclusive, wrapped);
        EXPECT_EQ(hit ? std::tuple(hit->age, hit->column, wrapped) : std::tuple(-1, 0, false),
                  std::tuple(row.age, row.column, row.wrapped));
    }
}
