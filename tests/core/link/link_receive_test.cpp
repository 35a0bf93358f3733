// The receive side over a real pseudo-terminal: the receiver thread feeding the line
// processing, the screen and the capture, and ending cleanly.

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "link/link_rig.h"
#include "link/serial_port.h"
#include "temp_dir.h"
#include "text/sjis.h"

namespace kestrel {
namespace {

using testing::eventually;
using testing::file_text;
using namespace std::string_view_literals;

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
    int count_in_ring(const std::string& needle) {
        std::lock_guard lock(rig.store.store_mutex());
        int n = 0;
        for (const ScreenLine& line : rig.store.lines()) {
            for (std::string_view t(line.text); t.find(needle) != std::string_view::npos;) {
                ++n;
                t.remove_prefix(t.find(needle) + needle.size());
            }
        }
        return n;
    }

    testing::TempDir dir;
    testing::PtyPair pty;
    testing::LinkRig rig{pty.slave_path()};
};

TEST_F(LinkReceiveTest, ReadsAreCappedAtEightyAndByWhatIsQueued) {
    SerialPort port;
    ASSERT_TRUE(port.open(pty.slave_path().c_str()));
    ASSERT_TRUE(port.configure(PortSettings{}));
    pty.write(std::string(200, 'r'));
    ASSERT_TRUE(eventually([&] { return port.queued_input() == 200; }));
    std::uint8_t buffer[100];
    std::vector<int> reads;
    for (int i = 0; i < 4; ++i) reads.push_back(port.read(buffer, 80));
    EXPECT_EQ(reads, (std::vector<int>{80, 80, 40, 0}));
}

TEST_F(LinkReceiveTest, CrLfGivesOneScreenLineAndOneFinishedLine) {
    std::mutex lines_mutex;
    std::vector<std::string> lines;
    rig.link->line_processor().set_scope_consumer([&](std::string_view l) {
        std::lock_guard lock(lines_mutex);
        lines.emplace_back(l);
    });
    open();
    pty.write("hello\r\nworld");
    ASSERT_TRUE(eventually([&] { return rig.screen_line() == "world"; }));
    EXPECT_EQ(rig.screen_line(1), "hello");
    rig.link->close_port();
    EXPECT_EQ(lines, (std::vector<std::string>{"hello\r"}));
    EXPECT_GT(rig.desktop.row_repaints(), 0);
}

TEST_F(LinkReceiveTest, CaptureHoldsTheFilteredBytesWithTimeStamps) {
    rig.store.set_time_stamp(true);
    open();
    capture_to(dir.file("cap.txt"));
    pty.write("a\0b\x1b\a\tc\r\nd\x08!"sv);
    const std::string expected = "ab\a\tc\r\n[2008-03-05 09:04:07]d!";
    ASSERT_TRUE(eventually([&] { return file_text(dir.file("cap.txt")) == expected; }));
    EXPECT_EQ(rig.screen_line().rfind("[2008-03-05 09:04:07]", 0), 0u);
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
        std::lock_guard lock(rig.store.store_mutex());
        return rig.store.current_line() == 1023;
    }));
    rig.backscroll.scroll(ScrollRequest::line_up);
    ASSERT_TRUE(rig.backscroll.split_view());
    pty.write(lines(LineStore::line_count - 400));
    ASSERT_TRUE(eventually([&] { return !rig.backscroll.split_view(); }));
    EXPECT_EQ(rig.desktop.split_changes(), (std::vector<bool>{true, false}));
}

TEST_F(LinkReceiveTest, VanishedDeviceEndsTheReceiverWithOneErrorText) {
    open();
    pty.write("hi");
    ASSERT_TRUE(eventually([&] { return rig.screen_line() == "hi"; }));
    pty.close_master();
    ASSERT_TRUE(eventually([&] { return !rig.link->port_is_open(); }));
    rig.link->close_port();
    EXPECT_EQ(count_in_ring(text::sjis("com ｴﾗ- 5")), 1);
    EXPECT_EQ(count_in_ring(text::sjis("com ｴﾗ-")), 1);
    EXPECT_TRUE(rig.link->send_char('x'));
    EXPECT_EQ(rig.desktop.message_texts().back(), "通信ポートがオープンされていません");
}

TEST_F(LinkReceiveTest, CloseDuringABurstReturnsAndNothingIsWrittenAfterwards) {
    open();
    capture_to(dir.file("burst.txt"));
    std::atomic<bool> stop{false};
    std::thread tnc([&] {
        std::string chunk(4096, 'z');
        chunk += "\r\n";
        while (!stop) {
            ssize_t n = ::write(pty.master(), chunk.data(), chunk.size());
            if (n <= 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    ASSERT_TRUE(
        eventually([&] { return std::filesystem::file_size(dir.file("burst.txt")) > 20000; }));
    rig.link->close_port();
    auto size = std::filesystem::file_size(dir.file("burst.txt"));
    int line, column;
    {
        std::lock_guard lock(rig.store.store_mutex());
        line = rig.store.current_line();
        column = rig.store.cursor_column();
    }
    int repaints = rig.desktop.row_repaints();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stop = true;
    tnc.join();
    EXPECT_EQ(std::filesystem::file_size(dir.file("burst.txt")), size);
    std::lock_guard lock(rig.store.store_mutex());
    EXPECT_EQ(rig.store.current_line(), line);
    EXPECT_EQ(rig.store.cursor_column(), column);
    EXPECT_EQ(rig.desktop.row_repaints(), repaints);
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
