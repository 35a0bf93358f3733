#include "core/screen/line_store.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_desktop.h"

namespace kestrel {
namespace {

struct LineStoreTest : ::testing::Test {
    void SetUp() override { store.first_sized(24); }
    void put(std::string_view bytes) { store.put_text(bytes); }

    testing::FakeDesktop desktop;
    LineStore store{desktop};
};

// What a run of bytes leaves on the screen: the line being written, the one above it and
// the cursor column, with time stamps off or on.
TEST_F(LineStoreTest, BytesOnTheScreen) {
    const struct {
        const char* name;
        std::string input, current, previous;
        int column;
        bool stamp = false;
    } cases[] = {
        {"the 81st wraps", std::string(80, 'a') + "b", "b", std::string(80, 'a'), 1},
        {"a lead byte at column 79 takes its pair to the next line",
         std::string(79, 'x') + "\x82\xA0", "\x82\xA0", std::string(79, 'x'), 2},
        {"a pair fits columns 78 and 79", std::string(78, 'y') + "\x93\xFA",
         std::string(78, 'y') + "\x93\xFA", "", 80},
        {"BS at column 0 does nothing", "\x08\x08", "", "", 0},
        {"BS after a pair takes only its second byte", "\x82\xA0\x08", "\x82", "", 1},
        {"CR LF is one new line", "x\r\n", "", "x", 0},
        {"LF alone never moves", "x\n\n", "x", "", 1},
        {"TAB is a blank, other controls vanish", "a\tb\001\033c", "a bc", "", 4},
        {"controls keep a lead byte pending", "\x82\x01\xA0", "\x82\xA0", "", 2},
        {"BEL drops a pending lead byte", "\x82\007A", "A", "", 1},
        {"a stamp begins a line started by CR, not its wrapped rest",
         "\r" + std::string(59, 'z') + "w", "w", "[2008-03-05 09:04:07]" + std::string(59, 'z'), 1,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        store.reset();
        store.set_time_stamp(c.stamp);
        put(c.input);
        EXPECT_EQ(store.line_text(0), c.current);
        EXPECT_EQ(store.line_text(1), c.previous);
        EXPECT_EQ(store.cursor_column(), c.column);
    }
}

TEST_F(LineStoreTest, MarksGoWithWritingOrClearingAndTheRingBoundsLinesAndRows) {
    // Writing text takes away marks; clearing keeps pause notices.
    store.with_line(0, [](ScreenLine& line) { line.kind = line_marked, line.selected = 1; });
    put("x");
    EXPECT_EQ(store.count_kinds() + store.count_selected(), 0);
    int age = 0;
    for (std::uint8_t kind : {line_marked, line_read_requested, line_pause_notice})
        store.with_line(++age, [&](ScreenLine& line) { line.kind = kind, line.selected = 1; });
    store.clear_marks_and_selection();
    EXPECT_EQ(store.count_kinds(), 1);
    EXPECT_EQ(store.count_selected(), 0);

    // The ring keeps the newest 5000 lines, and bounds the pane's row count, which comes from
    // the window's height.
    put("\roldest");
    for (int i = 0; i < LineStore::line_count - 1; ++i) put("\r");
    EXPECT_EQ(store.line_text(LineStore::line_count - 1), "oldest");
    put("\r");
    EXPECT_EQ(store.line_text(LineStore::line_count - 1), "");
    LineStore tall(desktop);
    tall.first_sized(LineStore::line_count + 1000);
    store.set_terminal_rows(1 << 30);
    for (LineStore* s : {&tall, &store}) {
        EXPECT_EQ(s->terminal_rows(), LineStore::line_count);
        EXPECT_EQ(s->cursor_row(), LineStore::line_count - 1);
        s->put_text("tall\r");  // the cursor line is inside the ring
    }
}

}  // namespace
}  // namespace kestrel
