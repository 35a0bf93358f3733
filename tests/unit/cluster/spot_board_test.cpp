#include "core/cluster/spot_board.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/text/sjis.h"

namespace kestrel {
namespace {

constexpr std::time_t t0 = 1204678800;  // 2008-03-05 01:00:00 UTC

Spot spot(std::string_view frequency, std::string_view call, std::time_t received = t0) {
    Spot s;
    s.frequency.assign(frequency);
    s.callsign.assign(call);
    s.time.assign("0100Z");
    s.received = received;
    return s;
}

// Frequency and callsign of every held spot, "*" on the newest.
std::string held(const SpotBoard& board) {
    std::string text;
    const SpotList list = board.snapshot();
    for (const Spot& s : list.spots()) {
        text += std::string(s.frequency.view()) + "/" + std::string(s.callsign.view()) +
                (s.newest ? "*" : "") + " ";
    }
    return text;
}

// Each row's spots are added in turn, then aged at t0.
TEST(SpotBoard, AddKeepsOrderOneNewestAndNoNearDuplicateAgingAnHourAway) {
    struct Row {
        const char* name;
        std::vector<Spot> added;
        const char* held;
    } rows[] = {
        {"sorted by frequency text",
         {spot(" 14025.0", "A1A"), spot("  7005.0", "B1B"), spot("144100.0", "C1C")},
         "  7005.0/B1B  14025.0/A1A 144100.0/C1C* "},
        {"same call 0.9 kHz away replaces",
         {spot(" 14025.0", "A1A"), spot(" 14025.9", "A1A")},
         " 14025.9/A1A* "},
        {"same call 1.0 kHz away stays",
         {spot(" 14025.0", "A1A"), spot(" 14026.0", "A1A")},
         " 14025.0/A1A  14026.0/A1A* "},
        {"every near duplicate goes",
         {spot(" 14025.0", "A1A"), spot(" 14025.8", "B1B"), spot(" 14025.5", "A1A")},
         " 14025.5/A1A*  14025.8/B1B "},
        {"hand-entered call never matches a parsed one",
         {spot(" 14025.0", "A1A        "), spot(" 14025.0", "A1A")},
         " 14025.0/A1A          14025.0/A1A* "},
        {"aging, the newest included",
         {spot("     1.0", "OLD1", t0 - 3601), spot("     2.0", "HOUR1", t0 - 3600),
          spot("     3.0", "SOON1", t0 + 3600), spot("     4.0", "LATE1", t0 + 3601)},
         "     2.0/HOUR1      3.0/SOON1 "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SpotBoard board;
        for (const Spot& s : row.added) board.add_spot(s);
        EXPECT_EQ(board.age_spots(t0), row.added.size() == 4);
        EXPECT_EQ(held(board), row.held);
    }
}

TEST(SpotBoard, OldestGivesWayWhenFull) {
    SpotBoard board;
    for (int i = 0; i < SpotList::capacity; ++i) {  // the oldest in the middle of the list
        board.add_spot(spot(std::to_string(10000 + i) + ".0", "K" + std::to_string(i),
                            t0 + (i == 50 ? -100 : i)));
    }
    board.add_spot(spot("  9000.0", "NEW1"));
    const SpotList list = board.snapshot();
    ASSERT_EQ(list.count(), SpotList::capacity);
    EXPECT_EQ(list[0].callsign, "NEW1");
    for (const Spot& s : list.spots()) EXPECT_NE(s.callsign, "K50");
}

TEST(SpotBoard, ShownLinesFilterByAgeAndBand) {
    SpotBoard board;
    board.add_spot(spot(" 13999.9", "LOW1", t0));
    board.add_spot(spot(" 14000.0", "EDGE1", t0 - 359));  // 5 min 59 s
    board.add_spot(spot(" 15000.9", "TOP1", t0 - 360));   // 6 min
    board.add_spot(spot("  7005.0", "SEVEN7", t0 + 60));  // from the future: 1 minute
    struct Row {
        ScopeFilter filter;
        std::vector<std::string> calls;
        int newest;
    } rows[] = {
        {{5, 60}, {"EDGE1", "TOP1"}, -1},
        {{5, 5}, {"EDGE1"}, -1},
        {{0, 1}, {"SEVEN7", "LOW1"}, 0},
        {{3, 60}, {"SEVEN7"}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.filter.band * 100 + row.filter.age_limit);
        const ShownLines shown = board.shown_lines(t0, row.filter);
        std::vector<std::string> calls;
        for (const ShownLine& l : shown.lines) calls.emplace_back(l.spot.callsign.view());
        EXPECT_EQ(calls, row.calls);
        EXPECT_EQ(shown.newest, row.newest);
    }
    EXPECT_EQ(board.shown_lines(t0, {0, 60}).lines[2].text, " 14000.0 [ 5] 0100Z EDGE1  <>");
    EXPECT_EQ(band_table[11].name, text::sjis("144MHz以上"));
}

TEST(SpotBoard, RemovingAShownLineTakesThatSpotEvenAfterNewArrivals) {
    SpotBoard board;
    board.add_spot(spot(" 21005.0", "A1A"));
    board.add_spot(spot(" 14005.0", "B1B"));
    const ShownLines shown = board.shown_lines(t0, {7, 60});  // 21 MHz: A1A in slot 1
    ASSERT_EQ(shown.lines.size(), 1u);
    EXPECT_EQ(shown.lines[0].slot, 1);
    board.parse_spot_line(
        "DX de JA1ABC:      7005.0  JA2XYZ       CW                             1234Z\r", t0);
    EXPECT_TRUE(board.remove_shown_spot(shown.lines[0]));
    EXPECT_FALSE(board.remove_shown_spot(shown.lines[0]));
    EXPECT_EQ(held(board), "  7005.0/JA2XYZ     *  14005.0/B1B ");
    board.remove_spot(2);  // no such slot
    board.remove_spot(0);
    EXPECT_EQ(held(board), " 14005.0/B1B ");
}

TEST(SpotBoard, TitleAndHandEntryUseUtc) {
    SpotBoard board;
    EXPECT_EQ(board.scope_title(t0 + 4 * 60), "PcScope 0104Z ");
    EXPECT_TRUE(board.parse_spot_line("WWV de JA1DX <01>: WWV=01Z SFI=120 A=5 K=1\r", t0));
    EXPECT_EQ(board.scope_title(t0), "PcScope 0100Z SFI=120 A=5 K=1");
    EXPECT_EQ(jst_time(t0).tm_hour, 10);

    struct Row {
        const char *mhz, *khz, *hz, *remarks, *frequency, *kept;
    } rows[] = {
        {"7", "005", "0", "CW", "  7005.0", "CW"},
        {"144", "100", "", "27 bytes with kanji cut at:\x82\xA0", "144100.",
         "27 bytes with kanji cut at:"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.frequency);
        const Spot s = hand_entered_spot(row.mhz, row.khz, row.hz, "JA1ABC", row.remarks, t0);
        EXPECT_EQ(s.frequency, row.frequency);
        EXPECT_EQ(s.remarks, row.kept);
        EXPECT_EQ(s.time, "0100Z");
    }
}

// The receiver adds while the UI thread reads, deletes and ages; run under TSan.
TEST(SpotBoard, ReceiverAndUiThreadShareTheList) {
    SpotBoard board;
    std::thread receiver([&] {
        for (int i = 0; i < 2000; ++i) {
            char line[100];
            std::snprintf(line, sizeof line, "DX de JA1ABC: %d.0 JA%dXYZ test 1234Z\r",
                          7000 + i % 300, i % 10);
            board.parse_spot_line(line, t0 + i);
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
