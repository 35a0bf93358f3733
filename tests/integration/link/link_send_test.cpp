// The transmit side over a real pseudo-terminal: what reaches the far end, what the
// screen echoes, and what is refused.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "core/link/serial_port.h"
#include "core/screen/command_history.h"
#include "core/text/sjis.h"
#include "link_rig.h"

namespace kestrel {
namespace {

class LinkSendTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(pty.slave_path().empty()); }
    void open() { ASSERT_TRUE(rig.link->open_port()); }
    void type(std::string_view bytes) {
        for (char c : bytes) rig.link->send_char(static_cast<std::uint8_t>(c));
    }
    // What arrived at the TNC once `marker` (sent last) is through.
    std::string sent_until_marker() {
        rig.link->send_byte_echo('#');
        std::string got = pty.read(1);
        while (got.empty() || got.back() != '#') {
            std::string more = pty.read(1);
            if (more.empty()) break;
            got += more;
        }
        return got.substr(0, got.size() - 1);
    }

    testing::PtyPair pty;
    testing::LinkRig rig{pty.slave_path()};
};

TEST_F(LinkSendTest, TypedKeysWithBackspaceOverSingleAndDoubleByteCharacters) {
    open();
    const std::string a = text::sjis("あ");  // 0x82 0xA0
    type("ab\b");
    type(a);
    type("\b");
    type("\r\b");                       // BS right after CR sends nothing
    type(std::string(1, a[0]) + "\b");  // BS with only the lead byte sent does nothing
    EXPECT_EQ(sent_until_marker(), "ab\b" + a + "\b\b\r" + a[0]);
    type(std::string(1, a[1]));
    EXPECT_EQ(rig.screen_line(), "#" + a);  // the pair is echoed once complete
    EXPECT_EQ(rig.screen_line(1), "a");
}

TEST_F(LinkSendTest, LineFeedAfterCarriageReturnAndLocalEcho) {
    rig.settings.port.tx_lf = 1;
    rig.settings.port.local_echo = 0;
    open();
    type("k\r");
    rig.link->send_byte_echo('u');
    rig.link->send_byte_echo('\r');
    EXPECT_EQ(sent_until_marker(), "k\r\nu\r");
    EXPECT_EQ(rig.screen_line(), "");

    rig.settings.port.local_echo = 1;
    open();
    rig.link->send_byte_echo('\r');
    EXPECT_EQ(sent_until_marker(), "\r\n");
}

TEST_F(LinkSendTest, EscapeAndDleNeverReachTheTnc) {
    open();
    rig.backscroll.scroll(ScrollRequest::line_up);
    ASSERT_TRUE(rig.backscroll.split_view());
    type("\x1b\x10x");
    EXPECT_FALSE(rig.backscroll.split_view());
    EXPECT_EQ(sent_until_marker(), "x");
}

TEST_F(LinkSendTest, RefusalsShowTheirMessages) {
    rig.modem->dsr_on = false;
    open();
    EXPECT_FALSE(rig.link->send_char('x'));
    EXPECT_FALSE(rig.link->send_tnc_clock());
    EXPECT_FALSE(rig.link->send_break_unproto());
    rig.modem->dsr_on = true;
    EXPECT_EQ(sent_until_marker(), "");
    auto texts = rig.desktop.message_texts();
    ASSERT_EQ(texts.size(), 3u);
    for (const auto& t : texts) EXPECT_EQ(t, "TNCが接続されていないか電源が入っていません");

    rig.link->close_port();
    EXPECT_FALSE(rig.link->send_char('x'));  // DSR cannot be read on a closed port
    rig.settings.port.dsr_watch = 0;
    rig.settings.port_devices[0].assign("/nonexistent/tty");
    EXPECT_FALSE(rig.link->open_port());
    EXPECT_TRUE(rig.link->tnc_connected());
    EXPECT_TRUE(rig.link->send_char('x'));
    EXPECT_EQ(rig.desktop.message_texts().back(), "通信ポートがオープンされていません");
}

TEST_F(LinkSendTest, DtrFollowsThePortAndASecondOpenerIsRefused) {
    open();
    EXPECT_TRUE(rig.modem->dtr);
    EXPECT_TRUE(rig.link->port_is_open());
    SerialPort second;
    EXPECT_FALSE(second.open(pty.slave_path().c_str()));
    rig.link->close_port();
    EXPECT_FALSE(rig.modem->dtr);
    EXPECT_FALSE(rig.link->port_is_open());
    // The terminal is no longer exclusive, or an unprivileged reopen would be refused.
    int plain = ::open(pty.slave_path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(plain, 0);
    int exclusive = -1;
    ASSERT_EQ(::ioctl(plain, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(plain);
    EXPECT_TRUE(second.open(pty.slave_path().c_str()));
    second.close();
    EXPECT_TRUE(rig.link->open_port());
}

TEST_F(LinkSendTest, UnsettableSpeedOrPortNumberFailsTheOpen) {
    rig.settings.port.baud_rate = 14400;
    EXPECT_FALSE(rig.link->open_port());
    rig.settings.port.baud_rate = 9600;
    rig.settings.port.port_number = 0;
    EXPECT_FALSE(rig.link->open_port());
    EXPECT_FALSE(rig.link->port_is_open());
    EXPECT_TRUE(rig.desktop.messages().empty());
}

TEST_F(LinkSendTest, TncClockAndBreakWithUnprotoText) {
    open();
    ASSERT_TRUE(rig.link->send_tnc_clock());
    EXPECT_EQ(sent_until_marker(), "DAYTIME 080305090407\r");

    {
        std::lock_guard lock(rig.link->rbbs().records_mutex);
        rig.settings.rbbs[2].unproto.assign("CQ");
        rig.link->rbbs().current = 2;
    }
    EXPECT_TRUE(rig.link->send_break_unproto());
    EXPECT_EQ(sent_until_marker(), "CQ\rK\r");
    EXPECT_EQ(rig.modem->breaks_set, 1);
    EXPECT_EQ(rig.modem->breaks_cleared, 1);
}

TEST_F(LinkSendTest, TypedLineStopsCountingAtItsCapacity) {
    open();
    type(std::string(TypedLine::capacity - 1, 'a'));
    type(text::sjis("あ"));  // no room for both bytes: sent, echoed, not counted
    EXPECT_EQ(rig.link->typed_line().count(), TypedLine::capacity - 1);
    type("bb");
    EXPECT_EQ(rig.link->typed_line().count(), TypedLine::capacity);
    type("\b");
    EXPECT_EQ(rig.link->typed_line().count(), TypedLine::capacity - 1);
    std::string sent = sent_until_marker();
    EXPECT_EQ(sent.size(), std::size_t(TypedLine::capacity - 1 + 2 + 2 + 1));
    EXPECT_EQ(sent.back(), '\b');
}

// The keyboard's way in: every key goes to the link and to the command history, and Enter on
// a recalled line sends that line before the CR.
TEST_F(LinkSendTest, RecalledLineEndingInALeadByteLeavesBackSpaceInRange) {
    open();
    CommandHistory history;
    auto key = [&](char k) {
        const auto c = static_cast<std::uint8_t>(k);
        if (c == '\r' && history.recall_index() >= 1) {
            for (char b : std::string(history.recalled_text())) {
                rig.link->send_char(static_cast<std::uint8_t>(b));
                history.input_char(static_cast<std::uint8_t>(b));
            }
            history.set_recall_index(0);
        }
        rig.link->send_char(c);
        history.input_char(c);
        EXPECT_GE(rig.link->typed_line().count(), 0);
        EXPECT_LE(rig.link->typed_line().count(), TypedLine::capacity);
    };
    // The trail of the 160th byte takes its lead's place in the history, and 0xFA is a
    // lead byte of its own.
    for (char k : std::string(159, 'a') + text::sjis("日") + "\r") key(k);
    ASSERT_EQ(history.slot(1).back(), '\xFA');
    sent_until_marker();
    history.recall_older();
    for (char k : std::string("\rx\b\b\bz")) key(k);
    EXPECT_EQ(sent_until_marker(), std::string(159, 'a') + "\xFA\rx\bz");
    EXPECT_EQ(rig.link->typed_line().count(), 1);
}

}  // namespace
}  // namespace kestrel
