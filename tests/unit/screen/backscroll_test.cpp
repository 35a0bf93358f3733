#include "core/screen/backscroll.h"

#include <gtest/gtest.h>

#include <memory>
#include <string_view>
#include <tuple>

#include "fake_desktop.h"

namespace kestrel {
namespace {

// A full ring, so that every line has a past, and a pane of 10 rows.
struct Pane {
    Pane() {
        store.first_sized(24);
        backscroll.set_rows(10);
        for (int i = 0; i < LineStore::line_count; ++i) store.put_text("line\r");
    }
    void set_kind(int age, std::uint8_t kind) {
        store.with_line(age, [&](ScreenLine& line) { line.kind = kind; });
    }

    testing::FakeDesktop desktop;
    LineStore store{desktop};
    Backscroll backscroll{store, desktop};
};

class BackscrollTest : public ::testing::Test, protected Pane {};

// Each row's keys go in turn: u/d line up/down, U/D page up/down, t/p the thumb dragged or
// dropped at `thumb_at`. Outside split view a key only enters it.
TEST(Backscroll, RequestsMoveTheViewCursorAndThumb) {
    struct Row {
        const char* keys;
        int lines_before, thumb_at;  // lines_before: written before the first key
        bool split;
        int bottom_age, cursor_row, thumb;
    } rows[] = {
        {"U", 0, 0, true, 0, 9, 5000},
        {"UU", 0, 0, true, 5, 0, 4995},           // half a pane
        {"uuuuuuuuuuu", 0, 0, true, 1, 0, 4999},  // the cursor to the top, then the view
        {"dd", 0, 0, false, 0, 9, 5000},          // down past the newest line leaves
        {"uD", 0, 0, false, 0, 9, 5000},
        {"Ut", 0, 120, true, 4500, 5, 500},  // below the margin lands at the margin
        {"Up", 0, 4000, true, 1000, 5, 4000},
        // Paging up stops within 500 lines of the oldest; there up is refused, down is not.
        {"UpUUuD", 0, 0, true, 4496, 9, 504},
        // The same with the view's line above the current index in the ring.
        {"UpU", 4777, 500, true, 4501, 0, 499},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.keys);
        auto pane = std::make_unique<Pane>();
        Backscroll& b = pane->backscroll;
        for (int i = 0; i < row.lines_before; ++i) pane->store.put_text("\r");
        for (const char* key = row.keys; *key; ++key) {
            b.scroll(static_cast<ScrollRequest>(std::string_view("udUDpt").find(*key)),
                     row.thumb_at);
        }
        EXPECT_EQ(std::tuple(b.split_view(), b.bottom_line_age(), b.cursor_row(), b.thumb()),
                  std::tuple(row.split, row.bottom_age, row.cursor_row, row.thumb));
    }
}

// One full ring in turn: the receiver's guard, marks and selection, then clearing.
TEST_F(BackscrollTest, ReceiverGuardSelectionAndClearing) {
    backscroll.scroll(ScrollRequest::page_up);
    backscroll.scroll(ScrollRequest::thumb_position, 600);  // 600 lines from the oldest
    for (int i = 0; i < 100; ++i) store.put_text("\r");
    EXPECT_FALSE(backscroll.leave_if_near_oldest());  // exactly 500 lines away
    store.put_text("\r");
    EXPECT_TRUE(backscroll.leave_if_near_oldest());
    EXPECT_EQ(desktop.split_changes(), (std::vector<bool>{true, false}));

    // Entering clears pending marks; selection follows the SHIFT keys.
    set_kind(16, line_marked);
    set_kind(15, line_read_requested);
    backscroll.scroll(ScrollRequest::page_up);
    EXPECT_EQ(store.count_kinds(), 1);
    backscroll.select_up();  // move, then select the line now under the cursor
    const int first = backscroll.cursor_line_age();
    backscroll.select_down();  // unselect it, then move down
    EXPECT_EQ(store.count_selected(), 0);
    backscroll.select_up();
    EXPECT_EQ(backscroll.cursor_line_age(), first);
    EXPECT_EQ(store.count_selected(), 1);
    backscroll.scroll(ScrollRequest::page_down);  // leaving clears the selection
    EXPECT_FALSE(backscroll.split_view());
    EXPECT_EQ(store.count_selected(), 0);

    // Clearing asks and honours the answer.
    backscroll.scroll(ScrollRequest::page_up);
    desktop.answer(MessageAnswer::no);
    clear_scroll_buffer(store, backscroll, desktop);
    EXPECT_TRUE(backscroll.split_view());
    clear_scroll_buffer(store, backscroll, desktop);  // yes
    EXPECT_FALSE(backscroll.split_view());
    EXPECT_EQ(store.line_text(0), "");
    set_kind(22, line_marked);
    set_kind(21, line_pause_notice);
    desktop.answer(MessageAnswer::no);
    clear_marks(store, backscroll, desktop);
    EXPECT_EQ(store.count_kinds(), 2);
    clear_marks(store, backscroll, desktop);
    EXPECT_EQ(store.count_kinds(), 1);
    EXPECT_EQ(desktop.message_texts().front(), "スクロールバッファーを消去します");
    EXPECT_EQ(desktop.message_texts().back(), "マークを消去します");
}

}  // namespace
}  // namespace kestrel
