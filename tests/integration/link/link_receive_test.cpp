// The receive side over a bare pseudo-terminal, for what the simulated TNC cannot provoke:
// bytes that arrive only after the port is open, a failing capture file, the ring coming
// round to the split view, and a message box open while the port closes. The ordinary
// traffic is in link_tncsim_test.cpp.

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
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
    void SetUp() override {
        ASSERT_FALSE(pty.slave_path().empty());
        rig.settings.port.dsr_watch = 0;
    }
    void open() { ASSERT_TRUE(rig.link->open_port()); }
    void capture_to(const std::string& path) {
        rig.desktop.choose(path);
        rig.capture.start_download("");
        ASSERT_TRUE(rig.capture.is_open());
    }
    testing::PtyPair pty;
    testing::LinkRig rig{pty.slave_path()};
};

// Bytes written once the port is open: CR LF is one screen line and one finished line, and
// the capture holds them filtered, with time stamps.
TEST_F(LinkReceiveTest, CrLfGivesOneScreenLineAndOneFinishedLine) {
    std::mutex lines_mutex;
    std::vector<std::string> lines;
    rig.link->line_processor().set_talk_consumer([&](std::string_view l) {
        std::lock_guard lock(lines_mutex);
        lines.emplace_back(l);
    });
    open();
    pty.write("hello TNC\r\n");
    ASSERT_TRUE(eventually([&] { return rig.screen_line(1) == "hello TNC"; }));
    rig.link->close_port();
    EXPECT_EQ(rig.screen_line(), "");
    EXPECT_EQ(lines, (std::vector<std::string>{"hello TNC\r"}));
}

TEST_F(LinkReceiveTest, CaptureFileHoldsTheFilteredBytesWithTimeStamps) {
    testing::TempDir dir;
    rig.store.set_time_stamp(true);
    capture_to(dir.file("cap.txt"));
    open();
    pty.write(std::string_view("a\0b\x1b\a\tc\r\nd\r\n", 12));
    const std::string stamp = "[2008-03-05 09:04:07]";
    const std::string expected = "ab\a\tc\r\n" + stamp + "d\r\n" + stamp;
    EXPECT_TRUE(eventually([&] { return testing::file_text(dir.file("cap.txt")) == expected; }))
        << testing::file_text(dir.file("cap.txt"));
}

// The burst is written only once the port is open and configured: the open discards what
// came before it, so a sender that starts the moment it sees the line opened races the open.
TEST_F(LinkReceiveTest, BurstIsReadInEightiesAndTheRest) {
    SerialPort port;
    ASSERT_TRUE(port.open(pty.slave_path().c_str()));
    ASSERT_TRUE(port.configure(PortSettings{}));
    std::string burst;
    for (int i = 0; i < 200; ++i) burst += static_cast<char>('!' + i % 90);
    pty.write(burst);
    ASSERT_TRUE(eventually([&] { return port.queued_input() >= 200; }));
    std::uint8_t buffer[100];
    std::vector<int> reads;
    std::string got;
    for (int i = 0; i < 4; ++i) {
        reads.push_back(port.read(buffer, 80));
        got.append(reinterpret_cast<const char*>(buffer), std::max(reads.back(), 0));
    }
    EXPECT_EQ(reads, (std::vector<int>{80, 80, 40, 0}));
    EXPECT_EQ(got, burst);
}

TEST_F(LinkReceiveTest, CaptureWriteFailureIsReportedOnceAndEndsTheDownload) {
    open();
    capture_to("/dev/full");
    pty.write("abc\r\ndef");
    ASSERT_TRUE(rig.desktop.wait_for_messages(1));
    ASSERT_TRUE(eventually([&] { return !rig.capture.is_open(); }));
    ASSERT_TRUE(eventually([&] { return rig.screen_line() == "def"; }));
    rig.link->close_port();
    ASSERT_EQ(rig.desktop.messages().size(), 1u);
    EXPECT_EQ(rig.desktop.messages()[0].text, "書き込みエラーが発生しました");
    EXPECT_EQ(rig.desktop.messages()[0].icon, MessageIcon::warning);
    EXPECT_EQ(rig.desktop.beeps(), 2);  // the existing-file question's and the end's
}

TEST_F(LinkReceiveTest, SplitViewIsLeftBeforeTheRingOverwritesIt) {
    open();
    auto lines = [](int n) {
        std::string burst;
        for (int i = 0; i < n; ++i) burst += "x\r\n";
        return burst;
    };
    // The view's bottom line well inside the ring, so the ring comes round to it in one
    // piece rather than across its end.
    pty.write(lines(1000));
    ASSERT_TRUE(eventually([&] {
        auto lock = testing::RingAccess::lock(rig.store);
        return testing::RingAccess::current_line(rig.store) == 1023;
    }));
    rig.backscroll.scroll(ScrollRequest::line_up);
    ASSERT_TRUE(rig.backscroll.split_view());
    pty.write(lines(LineStore::line_count - 400));
    ASSERT_TRUE(eventually([&] { return !rig.backscroll.split_view(); }));
    EXPECT_EQ(rig.desktop.split_changes(), (std::vector<bool>{true, false}));
}

TEST_F(LinkReceiveTest, CloseAnswersAMessageBoxTheReceiverIsWaitingIn) {
    rig.desktop.hold_messages = true;
    open();
    capture_to("/dev/full");
    pty.write("x");
    ASSERT_TRUE(eventually([&] { return rig.desktop.held.load() == 1; }));
    rig.link->close_port();
    EXPECT_FALSE(rig.link->port_is_open());
    EXPECT_FALSE(rig.capture.is_open());
}

}  // namespace
}  // namespace kestrel
