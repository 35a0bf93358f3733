// The terminal's keyboard without a window: typed bytes at a pseudo-terminal TNC, the
// recall, the capture of typed characters and the scroll requests.

#include "core/input/terminal_input.h"

#include <gtest/gtest.h>

#include "link_rig.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

using testing::file_text;

class TerminalInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        rig.settings.port.dsr_watch = 0;
        ASSERT_TRUE(rig.link->open_port());
        for (int i = 0; i < 600; ++i) rig.store.put_text("line\r");
    }
    void type(std::string_view bytes) { input.characters(bytes); }

    testing::PtyPair tnc;
    testing::LinkRig rig{tnc.slave_path()};
    CommandHistory history;
    TerminalInput input{*rig.link,      history,      rig.capture, rig.store,
                        rig.backscroll, rig.settings, rig.desktop};
    testing::TempDir dir;
};

TEST_F(TerminalInputTest, EnterOnARecalledLineSendsTheWholeLineOnce) {
    type("DIR\r");
    EXPECT_EQ(input.recall(true), "DIR");
    type("\r");
    EXPECT_EQ(tnc.read(8), "DIR\rDIR\r");
    EXPECT_EQ(input.recall(false), "");  // back at the live line
}

TEST_F(TerminalInputTest, TypedBytesAreCapturedAndAFailedWriteClosesWithoutTheBeep) {
    const std::string path = dir.file("typed.txt");
    rig.desktop.choose(path);
    rig.capture.start_download("");
    ASSERT_TRUE(rig.capture.is_open());
    type("ab\r");
    EXPECT_EQ(tnc.read(3), "ab\r");
    rig.capture.close();
    EXPECT_EQ(file_text(path), "ab\r\n");

    rig.desktop.choose(std::string("/dev/full"));
    rig.capture.start_download("");
    ASSERT_TRUE(rig.capture.is_open());
    const int beeps = rig.desktop.beeps();
    type("x");
    EXPECT_FALSE(rig.capture.is_open());
    EXPECT_EQ(rig.desktop.beeps(), beeps);
    EXPECT_EQ(rig.desktop.message_texts().back(), "書き込みエラーが発生しました");
    type("y");  // the next key still reaches the TNC
    EXPECT_EQ(tnc.read(2), "xy");
}

TEST_F(TerminalInputTest, EnterInSplitViewWithoutASeparatorSendsNothing) {
    rig.settings.rbbs[0].separator.assign("");
    input.page(true);
    ASSERT_TRUE(rig.backscroll.split_view());
    type("\r");
    EXPECT_EQ(rig.desktop.message_texts().back(), "F1 連続読み出し時のｾﾊﾟﾚｰﾀｰが登録されていません");
    EXPECT_EQ(tnc.read(1, 200), "");
}

TEST_F(TerminalInputTest, ScrollRequestsFromOutsideAndInsideSplitView) {
    struct Case {
        const char* name;
        ScrollRequest request;
        bool enters;
    };
    const Case cases[] = {
        {"line down does nothing outside", ScrollRequest::line_down, false},
        {"page down does nothing outside", ScrollRequest::page_down, false},
        {"line up enters", ScrollRequest::line_up, true},
        {"the thumb enters", ScrollRequest::thumb_track, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.backscroll.leave_split_view();
        input.scroll_bar(c.request, 4000);
        EXPECT_EQ(rig.backscroll.split_view(), c.enters);
    }
    // In split view the thumb clears the selection; the wheel moves by lines.
    input.arrow_in_split_view(true, true);
    EXPECT_EQ(rig.store.count_selected(), 1);
    input.scroll_bar(ScrollRequest::thumb_position, 4500);
    EXPECT_EQ(rig.store.count_selected(), 0);
    const int age = rig.backscroll.cursor_line_age();
    input.wheel(120, false);
    EXPECT_EQ(rig.backscroll.cursor_line_age(), age + 1);
    // Outside split view the wheel enters it by pages.
    rig.backscroll.leave_split_view();
    input.wheel(120, false);
    EXPECT_TRUE(rig.backscroll.split_view());
}

}  // namespace
}  // namespace kestrel
