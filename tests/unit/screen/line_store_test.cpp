#include "core/screen/line_store.h"

#include <gtest/gtest.h>

#include <string>

#include "core/text/sjis.h"
#include "fake_desktop.h"

namespace kestrel {
namespace {

class LineStoreTest : public ::testing::Test {
protected:
    void SetUp() override { store.first_sized(24); }
    void put(std::string_view bytes) { store.put_text(bytes); }
    std::string row_text(int row) { return store.terminal_row(row).text; }

    testing::FakeDesktop desktop;
    LineStore store{desktop};
};

// What a run of bytes leaves on the screen: the line being written, the one above it and
// the cursor column.
TEST_F(LineStoreTest, BytesOnTheScreen) {
    struct Case {
        const char* name;
        std::string input;
        std::string current, previous;
        int column;
    };
    const Case cases[] = {
        {"80 columns fill a line", std::string(80, 'a'), std::string(80, 'a'), "", 80},
        {"the 81st wraps", std::string(80, 'a') + "b", "b", std::string(80, 'a'), 1},
        {"a lead byte at column 79 takes its pair to the next line",
         std::string(79, 'x') + "\x82\xA0", "\x82\xA0", std::string(79, 'x'), 2},
        {"a pair fits columns 78 and 79", std::string(78, 'y') + "\x93\xFA",
         std::string(78, 'y') + "\x93\xFA", "", 80},
        {"BS takes one byte", "ab\x08", "a", "", 1},
        {"BS at column 0 does nothing", "\x08\x08", "", "", 0},
        {"BS after a pair takes only its second byte", "\x82\xA0\x08", "\x82", "", 1},
        {"CR LF is one new line", "x\r\n", "", "x", 0},
        {"LF alone never moves", "x\n\n", "x", "", 1},
        {"TAB is a blank, other controls vanish",
         "a\tb\x01\x1b"
         "c",
         "a bc", "", 4},
        {"controls keep a lead byte pending", "\x82\x01\xA0", "\x82\xA0", "", 2},
        {"BEL drops a pending lead byte",
         "\x82\x07"
         "A",
         "A", "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store.reset();
        put(c.input);
        EXPECT_EQ(store.line_text(0), c.current);
        EXPECT_EQ(store.line_text(1), c.previous);
        EXPECT_EQ(store.cursor_column(), c.column);
    }
}

TEST_F(LineStoreTest, FreshScreenAndResetShowTheBannerAboveTheCursor) {
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(store.cursor_column(), 0);
        EXPECT_NE(row_text(10).find(text::sjis("Ｋｅｓｔｒｅｌ")), std::string::npos);
        EXPECT_EQ(row_text(22), "");
        put("hello\r");
        store.reset();
    }
}

TEST_F(LineStoreTest, BellBeepsAndReleasesTheSaverAsSet) {
    put("\x07");
    store.set_bell(false);
    store.set_bell_releases_saver(true);
    put("\x07");
    EXPECT_EQ(desktop.beeps(), 1);
    EXPECT_EQ(desktop.saver_releases(), 1);
}

TEST_F(LineStoreTest, RingWrapsAfterFiveThousandLines) {
    put("oldest");
    for (int i = 0; i < LineStore::line_count - 1; ++i) put("\r");
    EXPECT_EQ(store.line_text(LineStore::line_count - 1), "oldest");
    put("\r");
    EXPECT_EQ(store.line_text(0), "");
    EXPECT_EQ(store.line_text(LineStore::line_count - 1), "");
}

TEST_F(LineStoreTest, TimeStampBeginsLinesStartedByCrOnly) {
    store.set_time_stamp(true);
    put("\r");
    EXPECT_EQ(store.line_text(0), "[2008-03-05 09:04:07]");
    EXPECT_EQ(store.cursor_column(), 21);
    put(std::string(59, 'z') + "w");  // the wrapped continuation shows no stamp
    EXPECT_EQ(store.line_text(0), "w");
}

TEST_F(LineStoreTest, WritingTextTakesAwayMarksAndClearingKeepsPauseNotices) {
    store.with_line(0, [](ScreenLine& line) { line.kind = line_marked, line.selected = 1; });
    put("x");
    EXPECT_EQ(store.count_kinds(), 0);
    EXPECT_EQ(store.count_selected(), 0);

    const std::uint8_t kinds[] = {line_marked, line_read_requested, line_pause_notice};
    for (int age = 1; age <= 3; ++age) {
        store.with_line(age, [&](ScreenLine& line) { line.kind = kinds[age - 1]; });
    }
    store.with_line(4, [](ScreenLine& line) { line.selected = 1; });
    store.clear_marks_and_selection();
    EXPECT_EQ(store.count_kinds(), 1);
    EXPECT_EQ(store.count_selected(), 0);
    store.put_text("\rnotice", true);
    EXPECT_EQ(store.count_kinds(), 2);
}

TEST_F(LineStoreTest, ViewsAndWalksAgree) {
    store.first_sized(3);
    put("a\rb\rc");
    const TerminalView view = store.terminal_view();
    ASSERT_EQ(view.rows.size(), 3u);
    EXPECT_STREQ(view.rows[0].text, "a");
    EXPECT_STREQ(view.rows[2].text, "c");
    EXPECT_EQ(view.cursor_row, 2);
    EXPECT_EQ(view.cursor_column, 1);
    std::string walked;
    store.for_each_oldest_first([&](const ScreenLine& line) { walked += line.text; });
    EXPECT_EQ(walked.substr(walked.size() - 2), "ab");  // the line being written is left out
}

}  // namespace
}  // namespace kestrel
