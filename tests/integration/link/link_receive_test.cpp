// The receive side over a bare pseudo-terminal, for what the simulated TNC cannot provoke:
// bytes that arrive only after the port is open, a failing capture file, the ring coming
// round to the split view, and a message box open while the port closes. The ordinary
// traffic is in link_tncsim_test.cpp.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/link/serial_port.h"
#include "link_rig.h"
#include "ring_access.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

using testing::eventually;

class LinkReceiveTest : public ::testing::Test {
protected:
    void SetUp() override { rig.settings.port.dsr_watch = 0; }
    void capture_to(const std::string& path) {
        rig.desktop.choose(path);
        rig.capture.start_download("");
        ASSERT_TRUE(rig.capture.is_open());
    }
    testing::PtyPair pty;
    testing::LinkRig rig{pty.slave_path()};
};

// Bytes written once the port is open: CR LF is one screen line, and the capture holds them
// filtered, with time stamps.
TEST_F(LinkReceiveTest, CrLfGivesOneScreenLineAndAStampedCapture) {
    testing::TempDir dir;
    rig.store.set_time_stamp(true);
    capture_to(dir.file("cap.txt"));
    ASSERT_TRUE(rig.link->open_port());
    pty.write(std::string_view("a\0b\x1b\a\tc\r\nd\r\n", 12));
    const std::string stamp = "[2008-03-05 09:04:07]",
                      capture = "ab\a\tc\r\n" + stamp + "d\r\n" + stamp;
    EXPECT_TRUE(eventually([&] { return testing::file_text(dir.file("cap.txt")) == capture; }))
        << testing::file_text(dir.file("cap.txt"));
    rig.link->close_port();
    EXPECT_EQ(rig.screen_line(1), stamp + "d");
    EXPECT_EQ(rig.screen_line(), stamp);
}

// The burst is written only once the port is open and configured: the open discards what
// came before it, so a sender that starts the moment it sees the line opened races the open.
// A queued burst comes in one read of the receiver's size, not in pieces.
TEST_F(LinkReceiveTest, QueuedBurstIsReadWhole) {
    SerialPort port;
    ASSERT_TRUE(port.open(pty.slave_path().c_str()) && port.configure(PortSettings{}));
    std::string burst;
    for (int i = 0; i < 3000; ++i) burst += static_cast<char>('!' + i % 90);
    pty.write(burst);
    ASSERT_TRUE(eventually([&] { return port.queued_input() >= 3000; }));
    std::vector<std::uint8_t> buffer(Link::read_chunk);
    ASSERT_EQ(port.read(buffer.data(), Link::read_chunk), 3000);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 3000), burst);
    EXPECT_EQ(port.read(buffer.data(), Link::read_chunk), 0);  // nothing left, no error
}

TEST_F(LinkReceiveTest, CaptureWriteFailureIsReportedOnceEndsTheDownloadAndCloseAnswersIt) {
    ASSERT_TRUE(rig.link->open_port());
    capture_to("/dev/full");
    pty.write("abc\r\ndef");
    ASSERT_TRUE(eventually([&] { return !rig.capture.is_open() && rig.screen_line() == "def"; }));
    rig.link->close_port();
    const auto messages = rig.desktop.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "書き込みエラーが発生しました");
    EXPECT_EQ(messages[0].icon, MessageIcon::warning);
    EXPECT_EQ(rig.desktop.beeps(), 2);  // the existing-file question's and the end's

    // Closing answers a message box the receiver is waiting in.
    rig.desktop.hold_messages = true;
    ASSERT_TRUE(rig.link->open_port());
    capture_to("/dev/full");
    pty.write("x");
    ASSERT_TRUE(eventually([&] { return rig.desktop.held.load() == 1; }));
    rig.link->close_port();
    EXPECT_FALSE(rig.link->port_is_open());
    EXPECT_FALSE(rig.capture.is_open());
}

TEST_F(LinkReceiveTest, SplitViewIsLeftBeforeTheRingOverwritesIt) {
    ASSERT_TRUE(rig.link->open_port());
    std::string lines;
    for (int i = 0; i < LineStore::line_count; ++i) lines += "x\r\n";
    // The view's bottom line well inside the ring, so the ring comes round to it in one
    // piece rather than across its end.
    pty.write(lines.substr(0, 3 * 1000));
    ASSERT_TRUE(eventually([&] {
        auto lock = testing::RingAccess::lock(rig.store);
        return testing::RingAccess::current_line(rig.store) == 1023;
    }));
    rig.backscroll.scroll(ScrollRequest::line_up);
    ASSERT_TRUE(rig.backscroll.split_view());
    pty.write(lines.substr(0, 3 * (LineStore::line_count - 400)));
    // The desktop hears of the change just after the view has left split view.
    ASSERT_TRUE(eventually([&] { return rig.desktop.split_changes().size() >= 2; }));
    EXPECT_FALSE(rig.backscroll.split_view());
    EXPECT_EQ(rig.desktop.split_changes(), (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace kestrel
