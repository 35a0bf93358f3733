// The RBBS reads over a real pseudo-terminal: marks set in split view, the read commands
// the TNC receives, the marks they leave, a refusal that keeps them, and the capture echo.

#include <gtest/gtest.h>

#include "core/bbs/rbbs_commands.h"
#include "link_rig.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

TEST(RbbsRead, MarksReadsAndRefusal) {
    testing::PtyPair pty;
    testing::LinkRig rig{pty.slave_path()};
    CommandHistory history;
    RbbsCommands rbbs{*rig.link,      history,      rig.capture, rig.store,
                      rig.backscroll, rig.settings, rig.desktop};
    ASSERT_TRUE(rig.link->open_port());
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
    EXPECT_EQ(pty.read(9), "R 5,12,30");
    EXPECT_EQ(history.slot(0), "R 5,12,30");
    EXPECT_EQ(kinds(5), "022200");
    EXPECT_FALSE(rbbs.continuous_read());  // the next Enter is an ordinary one
    up(2);
    rbbs.toggle_mark();  // a read-requested line is marked again
    EXPECT_EQ(kinds(5), "022100");

    // RIGHT on message 5, with local echo and a capture open.
    testing::TempDir dir;
    rig.desktop.choose(dir.file("cap.txt"));
    rig.capture.start_download(dir.path());
    up(1);
    rig.settings.rbbs[0].read_command.assign("READ");
    rbbs.single_read();
    EXPECT_EQ(pty.read(7), "READ 5\r");
    // The echoed CR started a line below; the cursor stays on its own line.
    EXPECT_EQ(kinds(6), "0222000");
    EXPECT_EQ(rig.backscroll.cursor_line_age(), 3);
    rig.capture.close();
    EXPECT_EQ(testing::file_text(dir.file("cap.txt")), "READ 5\r\n");
}

}  // namespace
}  // namespace kestrel
