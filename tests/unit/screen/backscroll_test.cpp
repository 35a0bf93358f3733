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
    int bottom() { return backscroll.bottom_line_age(); }
    void set_kind(int age, std::uint8_t kind) {
        store.with_line(age, [&](ScreenLine& line) { line.kind = kind; });
    }

    testing::FakeDesktop desktop;
    LineStore store{desktop};
    Backscroll backscroll{store, desktop};
};

TEST_F(BackscrollTest, PageUpFirstOnlyEntersThenMovesHalfAPane) {
    backscroll.scroll(ScrollRequest::page_up);
    EXPECT_TRUE(backscroll.split_view());
    EXPECT_EQ(bottom(), 0);
    EXPECT_EQ(backscroll.cursor_row(), 9);
    EXPECT_EQ(desktop.split_changes(), std::vector<bool>{true});

    backscroll.scroll(ScrollRequest::page_up);
    EXPECT_EQ(bottom(), 5);
    EXPECT_EQ(backscroll.thumb(), 4995);
    EXPECT_EQ(backscroll.cursor_row(), 0);
}

TEST_F(BackscrollTest, MovingDownPastTheNewestLineLeaves) {
    backscroll.scroll(ScrollRequest::line_down);  // enters
    store.with_line(0, [](ScreenLine& line) { line.selected = 1; });
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
    EXPECT_EQ(backscroll.cursor_row(), 0);
    EXPECT_EQ(bottom(), 0);
    backscroll.scroll(ScrollRequest::line_up);
    EXPECT_EQ(bottom(), 1);
    EXPECT_EQ(backscroll.thumb(), 4999);
}

TEST_F(BackscrollTest, ThumbBelowTheMarginLandsAtTheMargin) {
    backscroll.scroll(ScrollRequest::page_up);
    backscroll.scroll(ScrollRequest::thumb_track, 120);
    EXPECT_EQ(backscroll.thumb(), 500);
    EXPECT_EQ(bottom(), 4500);
    EXPECT_EQ(backscroll.cursor_row(), 5);

    backscroll.scroll(ScrollRequest::thumb_position, 4000);
    EXPECT_EQ(bottom(), 1000);
    EXPECT_EQ(backscroll.thumb(), 4000);
}

TEST_F(BackscrollTest, NearTheOldestLinesUpwardRequestsAreRefused) {
    backscroll.scroll(ScrollRequest::page_up);
    backscroll.scroll(ScrollRequest::thumb_position, 0);  // 500 lines from the oldest
    int at_margin = bottom();
    // Paging stops as soon as the view is within the margin.
    backscroll.scroll(ScrollRequest::page_up);
    EXPECT_EQ(bottom(), at_margin + 1);
    // Now within 500 lines: up and page up do nothing, down still works.
    backscroll.scroll(ScrollRequest::page_up);
    backscroll.scroll(ScrollRequest::line_up);
    EXPECT_EQ(bottom(), at_margin + 1);
    backscroll.scroll(ScrollRequest::page_down);
    EXPECT_EQ(bottom(), at_margin - 4);
}

TEST_F(BackscrollTest, MarginHoldsWhenTheViewIsBelowTheCurrentIndex) {
    // The ring's line 23 was current after 5000 lines: now line 4800 is, high in the ring,
    // and the oldest lines sit at low indexes.
    for (int i = 0; i < 4777; ++i) store.put_text("\r");
    backscroll.scroll(ScrollRequest::page_up);
    backscroll.scroll(ScrollRequest::thumb_position, 500);
    EXPECT_EQ(bottom(), 4500);
    backscroll.scroll(ScrollRequest::page_up);
    EXPECT_EQ(bottom(), 4501);  // stopped at the margin
    EXPECT_EQ(backscroll.thumb(), 499);
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
    set_kind(16, line_marked);
    set_kind(15, line_read_requested);
    backscroll.scroll(ScrollRequest::page_up);
    EXPECT_EQ(store.count_kinds(), 1);

    backscroll.select_up();  // move, then select the line now under the cursor
    int first = backscroll.cursor_line_age();
    backscroll.select_down();  // unselect it, then move down
    EXPECT_EQ(store.count_selected(), 0);
    backscroll.select_up();
    EXPECT_EQ(backscroll.cursor_line_age(), first);
    EXPECT_EQ(store.count_selected(), 1);
}

TEST_F(BackscrollTest, ClearingAsksAndHonoursTheAnswer) {
    backscroll.scroll(ScrollRequest::page_up);
    desktop.answer(MessageAnswer::no);
    clear_scroll_buffer(store, backscroll, desktop);
    EXPECT_TRUE(backscroll.split_view());

    clear_scroll_buffer(store, backscroll, desktop);  // yes
    EXPECT_FALSE(backscroll.split_view());
    EXPECT_EQ(store.line_text(0), "");
    auto texts = desktop.message_texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "スクロールバッファーを消去します");

    set_kind(22, line_marked);
    set_kind(21, line_pause_notice);
    desktop.answer(MessageAnswer::no);
    clear_marks(store, backscroll, desktop);
    EXPECT_EQ(store.count_kinds(), 2);
    clear_marks(store, backscroll, desktop);
    EXPECT_EQ(store.count_kinds(), 1);
    EXPECT_EQ(desktop.message_texts().back(), "マークを消去します");
}

}  // namespace
}  // namespace kestrel
