#include "core/screen/backscroll.h"

#include <gtest/gtest.h>

#include "fake_desktop.h"

namespace kestrel {
namespace {

class BackscrollTest : public ::testing::Test {
protected:
    void SetUp() override {
        store.first_sized(24);
        backscroll.set_rows(10);
        // Fill the whole ring so every line has a past.
        for (int i = 0; i < LineStore::line_count; ++i) store.put_text("line\r");
    }
    int bottom() {
        std::lock_guard lock(store.store_mutex());
        return backscroll.bottom_line();
    }
    int thumb() {
        std::lock_guard lock(store.store_mutex());
        return backscroll.thumb();
    }
    int cursor_row() {
        std::lock_guard lock(store.store_mutex());
        return backscroll.cursor_row();
    }
    int current() {
        std::lock_guard lock(store.store_mutex());
        return store.current_line();
    }

    testing::FakeDesktop desktop;
    LineStore store{desktop};
    Backscroll backscroll{store, desktop};
};

TEST_F(BackscrollTest, PageUpFirstOnlyEntersThenMovesHalfAPane) {
    backscroll.scroll(ScrollRequest::page_up);
    EXPECT_TRUE(backscroll.split_view());
    EXPECT_EQ(bottom(), current());
    EXPECT_EQ(cursor_row(), 9);
    EXPECT_EQ(desktop.split_changes(), std::vector<bool>{true});

    backscroll.scroll(ScrollRequest::page_up);
    EXPECT_EQ(bottom(), LineStore::wrap(current() - 5));
    EXPECT_EQ(thumb(), 4995);
    EXPECT_EQ(cursor_row(), 0);
}

TEST_F(BackscrollTest, MovingDownPastTheNewestLineLeaves) {
    backscroll.scroll(ScrollRequest::line_down);  // enters
    {
        std::lock_guard lock(store.store_mutex());
        store.line(store.current_line()).selected = 1;
    }
    backscroll.scroll(ScrollRequest::line_down);
    EXPECT_FALSE(backscroll.split_view());
    EXPECT_EQ(store.count_selected(), 0);  // leaving clears the selection

    backscroll.scroll(ScrollRequest::line_up);  // enters
    backscroll.scroll(ScrollRequest::page_down);
    EXPECT_FALSE(backscroll.split_view());
}

TEST_F(BackscrollTest, LineUpWalksTheCursorThenTheView) {
    backscroll.scroll(ScrollRequest::line_up);
    for (int i = 0; i < 9; ++i) backscroll.scroll(ScrollRequest::line_up);
    EXPECT_EQ(cursor_row(), 0);
    EXPECT_EQ(bottom(), current());
    backscroll.scroll(ScrollRequest::line_up);
    EXPECT_EQ(bottom(), LineStore::wrap(current() - 1));
    EXPECT_EQ(thumb(), 4999);
}

TEST_F(BackscrollTest, ThumbBelowTheMarginLandsAtTheMargin) {
    backscroll.scroll(ScrollRequest::page_up);
    backscroll.scroll(ScrollRequest::thumb_track, 120);
    EXPECT_EQ(thumb(), 500);
    EXPECT_EQ(bottom(), LineStore::wrap(current() + 500));
    EXPECT_EQ(cursor_row(), 5);

    backscroll.scroll(ScrollRequest::thumb_position, 4000);
    EXPECT_EQ(bottom(), LineStore::wrap(current() - 1000));
    EXPECT_EQ(thumb(), 4000);
}

TEST_F(BackscrollTest, NearTheOldestLinesUpwardRequestsAreRefused) {
    backscroll.scroll(ScrollRequest::page_up);
    backscroll.scroll(ScrollRequest::thumb_position, 0);  // 500 lines from the oldest
    int at_margin = bottom();
    // Paging stops as soon as the view is within the margin.
    backscroll.scroll(ScrollRequest::page_up);
    EXPECT_EQ(bottom(), LineStore::wrap(at_margin - 1));
    // Now within 500 lines: up and page up do nothing, down still works.
    backscroll.scroll(ScrollRequest::page_up);
    backscroll.scroll(ScrollRequest::line_up);
    EXPECT_EQ(bottom(), LineStore::wrap(at_margin - 1));
    backscroll.scroll(ScrollRequest::page_down);
    EXPECT_EQ(bottom(), LineStore::wrap(at_margin + 4));
}

TEST_F(BackscrollTest, MarginHoldsWhenTheViewIsBelowTheCurrentIndex) {
    // With the current line high in the ring, the oldest lines sit at low indexes.
    for (int i = 0; i < 4777; ++i) store.put_text("\r");
    ASSERT_EQ(current(), 4800);
    backscroll.scroll(ScrollRequest::page_up);
    backscroll.scroll(ScrollRequest::thumb_position, 500);
    EXPECT_EQ(bottom(), 300);
    backscroll.scroll(ScrollRequest::page_up);
    EXPECT_EQ(bottom(), 299);  // stopped at the margin
    EXPECT_EQ(thumb(), 499);
    store.put_text("\r");
    EXPECT_TRUE(backscroll.leave_if_near_oldest());
}

TEST_F(BackscrollTest, ReceiverGuardLeavesWhenTheRingCatchesUp) {
    backscroll.scroll(ScrollRequest::page_up);
    backscroll.scroll(ScrollRequest::thumb_position, 600);  // 600 lines from the oldest
    EXPECT_FALSE(backscroll.leave_if_near_oldest());
    for (int i = 0; i < 100; ++i) store.put_text("\r");
    EXPECT_FALSE(backscroll.leave_if_near_oldest());  // exactly 500 lines away
    store.put_text("\r");
    EXPECT_TRUE(backscroll.leave_if_near_oldest());
    EXPECT_FALSE(backscroll.split_view());
    EXPECT_EQ(desktop.split_changes(), (std::vector<bool>{true, false}));
}

TEST_F(BackscrollTest, EnteringClearsPendingMarksAndSelectionFollowsShiftKeys) {
    {
        std::lock_guard lock(store.store_mutex());
        store.line(7).kind = line_marked;
        store.line(8).kind = line_read_requested;
    }
    backscroll.scroll(ScrollRequest::page_up);
    EXPECT_EQ(store.count_kinds(), 1);

    backscroll.select_up();  // move, then select the line now under the cursor
    int first = backscroll.line_at_cursor();
    backscroll.select_down();  // unselect it, then move down
    EXPECT_EQ(store.count_selected(), 0);
    backscroll.select_up();
    EXPECT_EQ(backscroll.line_at_cursor(), first);
    EXPECT_EQ(store.count_selected(), 1);
}

TEST_F(BackscrollTest, ClearingAsksAndHonoursTheAnswer) {
    backscroll.scroll(ScrollRequest::page_up);
    desktop.answer(MessageAnswer::no);
    clear_scroll_buffer(store, backscroll, desktop);
    EXPECT_TRUE(backscroll.split_view());

    clear_scroll_buffer(store, backscroll, desktop);  // yes
    EXPECT_FALSE(backscroll.split_view());
    EXPECT_EQ(current(), 23);
    auto texts = desktop.message_texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "スクロールバッファーを消去します");

    {
        std::lock_guard lock(store.store_mutex());
        store.line(1).kind = line_marked;
        store.line(2).kind = line_pause_notice;
    }
    desktop.answer(MessageAnswer::no);
    clear_marks(store, backscroll, desktop);
    EXPECT_EQ(store.count_kinds(), 2);
    clear_marks(store, backscroll, desktop);
    EXPECT_EQ(store.count_kinds(), 1);
    EXPECT_EQ(desktop.message_texts().back(), "マークを消去します");
}

}  // namespace
}  // namespace kestrel
