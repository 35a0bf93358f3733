// The transmit side over a real pseudo-terminal: what reaches the far end, what the
// screen echoes, and what is refused.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "core/link/serial_port.h"
#include "core/text/sjis.h"
#include "link_rig.h"

namespace kestrel {
namespace {

struct LinkSendTest : ::testing::Test {
    void type(std::string_view bytes) {
        for (char c : bytes) rig.link->send_char(static_cast<std::uint8_t>(c));
    }
    // What arrived at the TNC once a marker sent last is through.
    std::string sent_until_marker() {
        rig.link->send_byte_echo('#');
        std::string got;
        for (std::string more; !got.ends_with('#') && !(more = pty.read(1)).empty();) got += more;
        return got.substr(0, got.size() - 1);
    }

    testing::PtyPair pty;
    testing::LinkRig rig{pty.slave_path()};
};

// A second opener is refused only while the port is open; the other refusals show their
// messages.
TEST_F(LinkSendTest, ASecondOpenerIsRefusedOnlyWhileOpenAndOtherRefusalsShowTheirMessages) {
    ASSERT_TRUE(rig.link->open_port());
    SerialPort second;
    EXPECT_FALSE(second.open(pty.slave_path().c_str()));
    rig.link->close_port();
    // The terminal is no longer exclusive, or an unprivileged reopen would be refused.
    const int plain = ::open(pty.slave_path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    int exclusive = -1;
    EXPECT_EQ(::ioctl(plain, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(plain);
    EXPECT_TRUE(second.open(pty.slave_path().c_str()));
    second.close();

    rig.settings.port.baud_rate = 14400;  // a speed the line cannot take
    EXPECT_FALSE(rig.link->open_port());
    rig.settings.port.baud_rate = 9600;
    rig.settings.port.port_number = 0;
    EXPECT_FALSE(rig.link->open_port());
    EXPECT_TRUE(rig.desktop.messages().empty());

    rig.settings.port.port_number = 1;
    rig.modem->dsr_on = false;
    ASSERT_TRUE(rig.link->open_port());
    EXPECT_FALSE(rig.link->send_char('x'));
    EXPECT_FALSE(rig.link->send_tnc_clock());
    EXPECT_FALSE(rig.link->send_break_unproto());
    rig.modem->dsr_on = true;
    EXPECT_EQ(sent_until_marker(), "");
    EXPECT_EQ(rig.desktop.message_texts(),
              std::vector<std::string>(3, "TNCが接続されていないか電源が入っていません"));

    rig.link->close_port();
    EXPECT_FALSE(rig.link->send_char('x'));  // DSR cannot be read on a closed port
    rig.settings.port.dsr_watch = 0;
    rig.settings.port_devices[0].assign("/nonexistent/tty");
    EXPECT_FALSE(rig.link->open_port());
    EXPECT_TRUE(rig.link->send_char('x'));
    EXPECT_EQ(rig.desktop.message_texts().back(), "通信ポートがオープンされていません");
}

// BS takes back whole characters of the line since CR (TypedLine has the cases); ESC leaves
// the split view and, like DLE, never reaches the TNC; with TX_LF every CR the operator sends,
// typed or uploaded, is followed by LF.
TEST_F(LinkSendTest, KeysClockAndUnprotoTextReachTheTncAsTyped) {
    rig.settings.port.tx_lf = 1;
    ASSERT_TRUE(rig.link->open_port());
    rig.backscroll.scroll(ScrollRequest::line_up);
    const std::string a = text::sjis("あ");
    type("ab\b" + a + "\b\x1b\x10\r\b" + a[0] + "\b");
    EXPECT_FALSE(rig.backscroll.split_view());
    EXPECT_EQ(sent_until_marker(), "ab\b" + a + "\b\b\r\n" + a[0]);
    type(a.substr(1));
    EXPECT_EQ(rig.screen_line(), "#" + a);  // the pair is echoed once complete
    EXPECT_EQ(rig.screen_line(1), "a");

    ASSERT_TRUE(rig.link->send_tnc_clock());
    rig.link->send_byte_echo('\r');
    EXPECT_EQ(sent_until_marker(), a.substr(1) + "DAYTIME 080305090407\r\n\r\n");
    {
        std::lock_guard lock(rig.link->rbbs().records_mutex);
        rig.settings.rbbs[2].unproto.assign("CQ");
        rig.link->rbbs().current = 2;
    }
    EXPECT_TRUE(rig.link->send_break_unproto());
    EXPECT_EQ(sent_until_marker(), "CQ\r\nK\r\n");
    EXPECT_EQ(rig.modem->breaks_cleared, 1);
}

}  // namespace
}  // namespace kestrel
