// The RBBS commands over a real pseudo-terminal: marks set in split view, the read
// commands the TNC receives, the marks they leave, and a refusal that keeps the marks.

#include <gtest/gtest.h>

#include "core/bbs/rbbs_commands.h"
#include "core/screen/command_history.h"
#include "link_rig.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

class RbbsReadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.link->open_port());
        // Ages: 5 heading, 4..2 messages 30, 12 and 5 (left-aligned), 1 the prompt, 0 empty.
        rig.store.put_text("No  Size Subject\r30  120 a\r12  200 b\r5   300 c\rJA1BBS>\r");
        rig.backscroll.set_rows(8);
        rig.backscroll.scroll(ScrollRequest::line_up);  // enters, cursor on the newest line
        for (int i = 0; i < 4; ++i) rig.backscroll.scroll(ScrollRequest::line_up);
    }
    // The line kinds from the heading (`oldest` lines back) to the newest line.
    std::string kinds(int oldest = 5) {
        std::string out;
        for (int age = oldest; age >= 0; --age) {
            rig.store.with_line(age, [&](ScreenLine& l) { out += char('0' + l.kind); });
        }
        return out;
    }
    std::string sent(std::size_t n) { return pty.read(n); }

    testing::PtyPair pty;
    testing::LinkRig rig{pty.slave_path()};
    CommandHistory history;
    RbbsCommands rbbs{*rig.link,      history,      rig.capture, rig.store,
                      rig.backscroll, rig.settings, rig.desktop};
};

TEST_F(RbbsReadTest, MarksThenOneReadCommandWithoutCr) {
    rig.settings.rbbs[0].sort = 1;
    for (int i = 0; i < 5; ++i) rbbs.toggle_mark();  // the prompt and the empty line take none
    EXPECT_EQ(kinds(), "011100");
    // On the newest line and the last row the cursor stays, and so does split view.
    EXPECT_EQ(rig.backscroll.cursor_line_age(), 0);
    EXPECT_TRUE(rig.backscroll.split_view());

    rig.modem->dsr_on = false;  // refused: nothing sent, the lines stay marked
    EXPECT_FALSE(rbbs.continuous_read());
    EXPECT_EQ(kinds(), "011100");
    rig.modem->dsr_on = true;

    EXPECT_TRUE(rbbs.continuous_read());
    EXPECT_EQ(sent(9), "R 5,12,30");
    EXPECT_EQ(history.slot(0), "R 5,12,30");
    EXPECT_EQ(kinds(), "022200");
    EXPECT_FALSE(rbbs.continuous_read());  // the next Enter is an ordinary one

    // LEFT on a read-requested line marks it again.
    rig.backscroll.scroll(ScrollRequest::line_up);
    rig.backscroll.scroll(ScrollRequest::line_up);
    rbbs.toggle_mark();
    EXPECT_EQ(kinds(), "022100");
}

TEST_F(RbbsReadTest, SingleReadAndConnectCommandEchoIntoTheCapture) {
    testing::TempDir dir;
    rig.desktop.choose(dir.file("cap.txt"));
    rig.capture.start_download(dir.path());
    ASSERT_TRUE(rig.capture.is_open());
    rig.backscroll.scroll(ScrollRequest::line_down);  // on message 12
    rig.settings.rbbs[0].read_command.assign("READ");
    rbbs.single_read();
    EXPECT_EQ(sent(8), "READ 12\r");
    // The echoed command's CR started a line below; the cursor stays on its own line.
    EXPECT_EQ(kinds(6), "0020000");
    EXPECT_EQ(rig.backscroll.cursor_line_age(), 4);

    rig.settings.rbbs[0].connect_command.assign("C JA1BBS\\n");
    EXPECT_TRUE(rbbs.send_connect_command());
    EXPECT_EQ(sent(9), "C JA1BBS\r");
    EXPECT_EQ(history.slot(1), "C JA1BBS");
    rig.capture.close();
    EXPECT_EQ(testing::file_text(dir.file("cap.txt")), "READ 12\r\n");  // the connect is not
}

}  // namespace
}  // namespace kestrel
