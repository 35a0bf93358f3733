#include "core/cluster/spot_board.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <thread>

namespace kestrel {
namespace {

constexpr std::time_t t0 = 1204678800;  // 2008-03-05 01:00:00 UTC

// Adds "frequency callsign" spots in turn as the receiver does, "@n" after a callsign
// receiving it n seconds before t0.
void add(SpotBoard& board, const std::string& spots) {
    std::istringstream in(spots);
    for (std::string khz, call; in >> khz >> call;) {
        const std::size_t at = call.find('@');
        const std::time_t age = at == std::string::npos ? 0 : std::stol(call.substr(at + 1));
        board.parse_spot_line("DX de JA1ABC: " + khz + " " + call.substr(0, at) + " 0100Z\r",
                              t0 - age);
    }
}

// A spot in the form `add` takes, "*" after it when `newest`.
std::string text_of(const Spot& s, bool newest) {
    std::istringstream fields(std::string(s.frequency.view()) + " " + s.callsign.c_str());
    std::string khz, call;
    fields >> khz >> call;
    return khz + " " + call + (newest ? "* " : " ");
}

std::string held(const SpotBoard& board) {
    std::string text;
    const SpotList list = board.snapshot();  // spots() points into it
    for (const Spot& s : list.spots()) text += text_of(s, s.newest);
    return text;
}

// Each row's spots are added, then aged at t0.
TEST(SpotBoard, AddKeepsOrderOneNewestAndNoNearDuplicateAgingAnHourAway) {
    struct Row {
        const char *added, *held;
    } rows[] = {
        {"14025.0 A1A 7005.0 B1B 144100.0 C1C", "7005.0 B1B 14025.0 A1A 144100.0 C1C* "},
        // The same call 1.0 kHz away stays, 0.9 kHz away goes, and every one that near.
        {"14025.0 A1A 14026.0 A1A 14026.9 A1A", "14025.0 A1A 14026.9 A1A* "},
        {"14025.0 A1A 14025.8 B1B 14025.5 A1A", "14025.5 A1A* 14025.8 B1B "},
        // Aging in both directions, the newest included.
        {"1.0 OLD1@3601 2.0 HOUR1@3600 3.0 SOON1@-3600 4.0 LATE1@-3601", "2.0 HOUR1 3.0 SOON1 "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.added);
        SpotBoard board;
        add(board, row.added);
        board.age_spots(t0);
        EXPECT_EQ(held(board), row.held);
    }
    // A hand-entered callsign has no padding, so it never matches a received one.
    SpotBoard board;
    add(board, "14025.0 A1A");
    board.add_spot(hand_entered_spot("14", "025", "0", "A1A", "", t0));
    EXPECT_EQ(held(board), "14025.0 A1A 14025.0 A1A* ");
}

TEST(SpotBoard, OldestGivesWayWhenFull) {
    SpotBoard board;
    for (int i = 0; i < SpotList::capacity; ++i) {  // the oldest in the middle of the list
        add(board, std::to_string(10000 + i) + ".0 K" + std::to_string(i) + "@" +
                       std::to_string(i == 50 ? 100 : -i));
    }
    add(board, "9000.0 NEW1");
    EXPECT_EQ(held(board).find(" K50 "), std::string::npos);
    EXPECT_EQ(held(board).rfind("9000.0 NEW1* 10000.0 K0 10001.0 K1 ", 0), 0u);
    EXPECT_EQ(board.snapshot().count(), SpotList::capacity);
}

TEST(SpotBoard, ShownLinesFilterByAgeAndBandAndRemoveTheirSpots) {
    SpotBoard board;  // 5 min 59 s, 6 min, and 1 min in the future
    add(board, "13999.9 LOW1 14000.0 EDGE1@359 15000.9 TOP1@360 7005.0 SEVEN7@-60");
    struct Row {
        ScopeFilter filter;
        std::string shown;  // "*" after the newest
    } rows[] = {{{5, 60}, "14000.0 EDGE1 15000.9 TOP1 "},
                {{5, 5}, "14000.0 EDGE1 "},
                {{0, 1}, "7005.0 SEVEN7* 13999.9 LOW1 "},
                {{3, 60}, "7005.0 SEVEN7* "}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shown);
        const ShownLines shown = board.shown_lines(t0, row.filter);
        std::string text;
        for (std::size_t i = 0; i < shown.lines.size(); ++i) {
            text += text_of(shown.lines[i].spot, shown.newest == static_cast<int>(i));
        }
        EXPECT_EQ(text, row.shown);
    }

    // Removing a shown line takes that spot, even after new arrivals.
    SpotBoard arrivals;
    add(arrivals, "21005.0 A1A 14005.0 B1B");
    const ShownLine a1a = arrivals.shown_lines(t0, {7, 60}).lines.at(0);  // 21 MHz: slot 1
    add(arrivals, "7005.0 C1C");
    EXPECT_TRUE(arrivals.remove_shown_spot(a1a));
    EXPECT_FALSE(arrivals.remove_shown_spot(a1a));
    EXPECT_EQ(held(arrivals), "7005.0 C1C* 14005.0 B1B ");
}

TEST(SpotBoard, TitleAndHandEntryUseUtc) {
    SpotBoard board;
    EXPECT_EQ(board.scope_title(t0 + 4 * 60), "PcScope 0104Z ");
    EXPECT_TRUE(board.parse_spot_line("WWV de JA1DX <01>: WWV=01Z SFI=120 A=5 K=1\r", t0));
    EXPECT_EQ(board.scope_title(t0), "PcScope 0100Z SFI=120 A=5 K=1");
    const Spot cw = hand_entered_spot("7", "005", "0", "JA1ABC", "CW", t0);
    EXPECT_EQ(shown_line_text(cw, 0), "  7005.0 [ 0] 0100Z JA1ABC  CW<>");
    const Spot cut =
        hand_entered_spot("144", "100", "", "JA1ABC", "27 bytes with kanji cut at:\x82\xA0", t0);
    EXPECT_EQ(shown_line_text(cut, 0), "144100. [ 0] 0100Z JA1ABC  27 bytes with kanji cut at:<>");
}

// The receiver adds while the UI thread reads, deletes and ages; run under TSan.
TEST(SpotBoard, ReceiverAndUiThreadShareTheList) {
    SpotBoard board;
    std::thread receiver([&] {
        for (int i = 0; i < 2000; ++i) {
            add(board, std::to_string(7000 + i % 300) + ".0 JA" + std::to_string(i % 10) + "XYZ@" +
                           std::to_string(-i));
        }
    });
    for (int i = 0; i < 500; ++i) {
        const ShownLines shown = board.shown_lines(t0 + i, {});
        if (!shown.lines.empty()) board.remove_shown_spot(shown.lines.front());
        board.age_spots(t0 + i);
        (void)board.scope_title(t0);
    }
    receiver.join();
    const SpotList list = board.snapshot();
    EXPECT_LE(list.count(), SpotList::capacity);
    for (int i = 1; i < list.count(); ++i) {
        EXPECT_LE(list[i - 1].frequency.view(), list[i].frequency.view());
    }
}

}  // namespace
}  // namespace kestrel
