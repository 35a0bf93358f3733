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

    std::string text(int index) {
        std::lock_guard lock(store.store_mutex());
        return store.line(index).text;
    }
    std::string current_text() { return text(current()); }
    int current() {
        std::lock_guard lock(store.store_mutex());
        return store.current_line();
    }
    int column() {
        std::lock_guard lock(store.store_mutex());
        return store.cursor_column();
    }
    void put(std::string_view bytes) { store.put_text(bytes); }

    testing::FakeDesktop desktop;
    LineStore store{desktop};
};

TEST_F(LineStoreTest, FreshScreenShowsBannerAboveTheCursor) {
    EXPECT_EQ(current(), 23);
    EXPECT_EQ(column(), 0);
    EXPECT_NE(text(10).find(text::sjis("Ｋｅｓｔｒｅｌ")), std::string::npos);
    std::lock_guard lock(store.store_mutex());
    EXPECT_EQ(store.ring_index_of_row(23), 23);
    EXPECT_EQ(store.ring_index_of_row(0), 0);
}

TEST_F(LineStoreTest, WrapsAtEightyColumns) {
    put(std::string(80, 'a'));
    int first = current();
    EXPECT_EQ(column(), 80);
    put("b");
    EXPECT_EQ(current(), first + 1);
    EXPECT_EQ(current_text(), "b");
    EXPECT_EQ(text(first), std::string(80, 'a'));
}

TEST_F(LineStoreTest, DoubleByteCharacterIsNeverSplit) {
    // A lead byte at column 79 goes to the next line with its partner.
    put(std::string(79, 'x'));
    put("\x82\xA0");
    EXPECT_EQ(current_text(), "\x82\xA0");
    EXPECT_EQ(column(), 2);

    // At column 78 the pair fills the last two columns.
    put("\r");
    put(std::string(78, 'y'));
    int line = current();
    put("\x93\xFA");
    EXPECT_EQ(current(), line);
    EXPECT_EQ(current_text(), std::string(78, 'y') + "\x93\xFA");
}

TEST_F(LineStoreTest, ControlBytes) {
    put("ab\x08");
    EXPECT_EQ(current_text(), "a");
    put("\x08\x08\x08");  // BS at column 0 does nothing
    EXPECT_EQ(column(), 0);

    int line = current();
    put("x\r\n");
    EXPECT_EQ(current(), line + 1);  // CR LF: one new line
    put("\n\n");
    EXPECT_EQ(current(), line + 1);  // LF alone never moves
    put("\r\r");
    EXPECT_EQ(current(), line + 3);
    EXPECT_EQ(text(line + 2), "");

    put("a\tb\x01\x1b"
        "c");
    EXPECT_EQ(current_text(), "a bc");

    put("\x07");
    EXPECT_EQ(desktop.beeps(), 1);
    store.set_bell(false);
    store.set_bell_releases_saver(true);
    put("\x07");
    EXPECT_EQ(desktop.beeps(), 1);
    EXPECT_EQ(desktop.saver_releases(), 1);
}

TEST_F(LineStoreTest, BackspaceAfterDoubleByteRemovesOnlyItsSecondByte) {
    put("\x82\xA0\x08");
    EXPECT_EQ(current_text(), "\x82");
    EXPECT_EQ(column(), 1);
}

TEST_F(LineStoreTest, BellAndControlBytesAroundAPendingLeadByte) {
    put("\x82\x01\xA0");  // other controls keep the lead pending
    EXPECT_EQ(current_text(), "\x82\xA0");
    put("\x82\x07"
        "A");  // BEL drops it
    EXPECT_EQ(current_text(),
              "\x82\xA0"
              "A");
}

TEST_F(LineStoreTest, RingWrapsAfterFiveThousandLines) {
    put("oldest");
    int start = current();
    for (int i = 0; i < LineStore::line_count; ++i) put("\r");
    EXPECT_EQ(current(), start);
    EXPECT_EQ(current_text(), "");
}

TEST_F(LineStoreTest, TimeStampBeginsLinesStartedByCrOnly) {
    store.set_time_stamp(true);
    put("\r");
    EXPECT_EQ(current_text(), "[2008-03-05 09:04:07]");
    EXPECT_EQ(column(), 21);
    put(std::string(59, 'z'));  // fills column 79
    put("w");                   // wraps: the continuation shows no stamp
    EXPECT_EQ(current_text(), "w");
}

TEST_F(LineStoreTest, WritingTextTakesAwayMarks) {
    {
        std::lock_guard lock(store.store_mutex());
        store.line(store.current_line()).kind = line_marked;
        store.line(store.current_line()).selected = 1;
    }
    EXPECT_EQ(store.count_kinds(), 1);
    EXPECT_EQ(store.count_selected(), 1);
    put("x");
    EXPECT_EQ(store.count_kinds(), 0);
    EXPECT_EQ(store.count_selected(), 0);
    store.put_text("notice", true);
    std::lock_guard lock(store.store_mutex());
    EXPECT_EQ(store.line(store.current_line()).kind, line_pause_notice);
}

TEST_F(LineStoreTest, ResetBringsBannerBackAndKeepsPauseNoticesOnlyWhenClearingMarks) {
    put("hello\r");
    store.reset();
    EXPECT_EQ(current(), 23);
    EXPECT_EQ(column(), 0);
    EXPECT_NE(text(10).find(text::sjis("Ｋｅｓｔｒｅｌ")), std::string::npos);
    EXPECT_EQ(text(22), "");

    {
        std::lock_guard lock(store.store_mutex());
        store.line(1).kind = line_marked;
        store.line(2).kind = line_read_requested;
        store.line(3).kind = line_pause_notice;
        store.line(4).selected = 1;
    }
    store.clear_marks_and_selection();
    EXPECT_EQ(store.count_kinds(), 1);
    EXPECT_EQ(store.count_selected(), 0);
}

}  // namespace
}  // namespace kestrel
