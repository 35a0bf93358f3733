// The terminal's keyboard without a window: typed bytes at a pseudo-terminal TNC, the
// recall, the capture of typed characters, the scroll requests and the RBBS reads.

#include "core/input/terminal_input.h"

#include <gtest/gtest.h>

#include "core/bbs/rbbs_commands.h"
#include "link_rig.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

using testing::file_text;

class TerminalInputTest : public ::testing::Test {
protected:
    void SetUp() override {
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

// Enter on a recalled line sends the whole line once; in split view without a separator it
// sends nothing.
TEST_F(TerminalInputTest, EnterSendsARecalledLineOnceAndNothingInSplitViewWithoutASeparator) {
    type("DIR\r");
    EXPECT_EQ(input.recall(true), "DIR");
    type("\r");
    EXPECT_EQ(tnc.read(8), "DIR\rDIR\r");
    EXPECT_EQ(input.recall(false), "");  // back at the live line

    rig.settings.rbbs[0].separator.assign("");
    input.page(true);
    ASSERT_TRUE(rig.backscroll.split_view());
    type("\r");
    EXPECT_EQ(rig.desktop.message_texts().back(), "F1 連続読み出し時のｾﾊﾟﾚｰﾀｰが登録されていません");
    EXPECT_EQ(tnc.read(1, 200), "");
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

TEST_F(TerminalInputTest, ScrollRequestsFromOutsideAndInsideSplitView) {
    // Line and page down do nothing outside split view; line up and the thumb enter it.
    for (const auto& [request, enters] :
         {std::pair(ScrollRequest::line_down, false), std::pair(ScrollRequest::page_down, false),
          std::pair(ScrollRequest::line_up, true), std::pair(ScrollRequest::thumb_track, true)}) {
        SCOPED_TRACE(static_cast<int>(request));
        rig.backscroll.leave_split_view();
        input.scroll_bar(request, 4000);
        EXPECT_EQ(rig.backscroll.split_view(), enters);
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

// The RBBS reads: marks set in split view, the read commands the TNC receives, the marks they
// leave, a refusal that keeps them, and the capture echo.
TEST_F(TerminalInputTest, RbbsMarksReadsAndRefusal) {
    RbbsCommands rbbs{*rig.link,      history,      rig.capture, rig.store,
                      rig.backscroll, rig.settings, rig.desktop};
    // Ages 5 heading, 4..2 messages 30, 12 and 5, 1 the prompt, 0 the empty newest line.
    rig.store.put_text("No  Size Subject\r30  120 a\r12  200 b\r5   300 c\rJA1BBS>\r");
    const auto kinds = [&](int oldest) {
        std::string out;
        for (int age = oldest; age >= 0; --age) {
            rig.store.with_line(age, [&](ScreenLine& l) { out += char('0' + l.kind); });
        }
        return out;
    };
    const auto up = [&](int n) {
        for (int i = 0; i < n; ++i) rig.backscroll.scroll(ScrollRequest::line_up);
    };
    rig.backscroll.set_rows(8);
    up(5);  // the first enters split view on the newest line
    rig.settings.rbbs[0].sort = 1;
    for (int i = 0; i < 5; ++i) rbbs.toggle_mark();  // the prompt and the empty line take none
    EXPECT_EQ(kinds(5), "011100");
    // On the newest line and the last row the cursor stays, and so does split view.
    EXPECT_EQ(rig.backscroll.cursor_line_age(), 0);
    EXPECT_TRUE(rig.backscroll.split_view());

    rig.modem->dsr_on = false;  // refused: nothing sent, the lines stay marked
    EXPECT_FALSE(rbbs.continuous_read());
    EXPECT_EQ(kinds(5), "011100");
    rig.modem->dsr_on = true;
    EXPECT_TRUE(rbbs.continuous_read());
    EXPECT_EQ(tnc.read(9), "R 5,12,30");
    EXPECT_EQ(history.slot(0), "R 5,12,30");
    EXPECT_EQ(kinds(5), "022200");
    EXPECT_FALSE(rbbs.continuous_read());  // the next Enter is an ordinary one
    up(2);
    rbbs.toggle_mark();  // a read-requested line is marked again
    EXPECT_EQ(kinds(5), "022100");

    // RIGHT on message 5, with local echo and a capture open.
    rig.desktop.choose(dir.file("cap.txt"));
    rig.capture.start_download(dir.path());
    up(1);
    rig.settings.rbbs[0].read_command.assign("READ");
    rbbs.single_read();
    EXPECT_EQ(tnc.read(7), "READ 5\r");
    // The echoed CR started a line below; the cursor stays on its own line.
    EXPECT_EQ(kinds(6), "0222000");
    EXPECT_EQ(rig.backscroll.cursor_line_age(), 3);
    rig.capture.close();
    EXPECT_EQ(testing::file_text(dir.file("cap.txt")), "READ 5\r\n");
}

}  // namespace
}  // namespace kestrel
