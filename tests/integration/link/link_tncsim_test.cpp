// End to end: the link against the simulated TNC on a real pseudo-terminal.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "core/text/sjis.h"
#include "link_rig.h"
#include "ring_access.h"
#include "temp_dir.h"
#include "tncsim_process.h"

namespace kestrel {
namespace {

using testing::eventually;
using testing::file_text;
using namespace std::string_view_literals;

class LinkTncsimTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing::TncsimProcess::available()) GTEST_SKIP() << "tncsim is not built";
    }
    // Starts tncsim with `args` and a Link on its line (DSR watch off: a pty has no DSR).
    void start(std::vector<std::string> args) {
        tnc = std::make_unique<testing::TncsimProcess>(std::move(args));
        ASSERT_FALSE(tnc->slave_path().empty());
        rig = std::make_unique<testing::LinkRig>(tnc->slave_path());
        rig->settings.port.dsr_watch = 0;
    }
    void type(std::string_view bytes) {
        for (char c : bytes) rig->link->send_char(static_cast<std::uint8_t>(c));
    }
    bool screen_shows(const std::string& needle) {
        return eventually([&] {
            for (int back = 0; back < 30; ++back) {
                if (rig->screen_line(back).find(needle) != std::string::npos) return true;
            }
            return false;
        });
    }

    testing::TempDir dir;
    std::unique_ptr<testing::TncsimProcess> tnc;
    std::unique_ptr<testing::LinkRig> rig;
};

TEST_F(LinkTncsimTest, TypedKeysArriveAsTheyWereSent) {
    start({"--record", dir.file("received.bin")});
    ASSERT_TRUE(rig->link->open_port());
    const std::string a = text::sjis("あ");
    type("MYCALL JA1XYZ" + a + "\b\bZ\r");
    const std::string expected = "MYCALL JA1XYZ" + a + "\b\b\b" + "Z\r";
    EXPECT_TRUE(eventually([&] { return file_text(dir.file("received.bin")) == expected; }))
        << file_text(dir.file("received.bin"));
    EXPECT_TRUE(screen_shows("cmd:"));
}

TEST_F(LinkTncsimTest, BbsMessageLandsInADateNamedFile) {
    start({"--messages", "3", "--dx-interval", "0"});
    RbbsRecord& record = rig->settings.rbbs[5];
    record.dl_start.assign("Msg#");
    record.dl_end.assign("[End of message]");
    record.dl_start_valid = 1;
    record.dl_end_valid = 1;
    record.extension.assign("msg");
    rig->settings.dl_dir.assign(dir.path());
    rig->link->rbbs().current = 5;
    ASSERT_TRUE(rig->link->open_port());
    ASSERT_TRUE(screen_shows("cmd:"));
    type("C JA1BBS\r");
    ASSERT_TRUE(screen_shows("JA1BBS>"));
    type("R 2\r");
    const std::string path = dir.file("080305.msg");
    ASSERT_TRUE(eventually([&] {
        std::string f = file_text(path);
        return f.size() > 20 && f.ends_with("[End of message]\r\n");
    })) << file_text(path);
    EXPECT_TRUE(file_text(path).starts_with("Msg# 2"));
    EXPECT_TRUE(eventually([&] { return !rig->capture.is_open(); }));
    EXPECT_EQ(rig->desktop.beeps(), 1);
}

TEST_F(LinkTncsimTest, LineSettingsReachTheLine) {
    start({"--settings-log", dir.file("settings.log")});
    rig->settings.port.baud_rate = 4800;
    rig->settings.port.flow_control = 1;
    ASSERT_TRUE(rig->link->open_port());
    EXPECT_TRUE(eventually([&] {
        return file_text(dir.file("settings.log")).find("speed=4800") != std::string::npos;
    }));
    EXPECT_NE(file_text(dir.file("settings.log")).find("flow=rtscts"), std::string::npos);
    rig->link->close_port();
    rig->settings.port.baud_rate = 38400;
    rig->settings.port.flow_control = 0;
    ASSERT_TRUE(rig->link->open_port());
    EXPECT_TRUE(eventually([&] {
        std::string log = file_text(dir.file("settings.log"));
        return log.find("speed=38400") != std::string::npos &&
               log.rfind("flow=xonxoff") > log.find("speed=38400");
    })) << file_text(dir.file("settings.log"));
}

TEST_F(LinkTncsimTest, TncGoingAwayEndsTheReceiverWithOneErrorText) {
    start({});
    ASSERT_TRUE(rig->link->open_port());
    ASSERT_TRUE(screen_shows("cmd:"));
    tnc->stop();
    ASSERT_TRUE(eventually([&] { return !rig->link->port_is_open(); }));
    rig->link->close_port();
    int errors = 0;
    {
        auto lock = testing::RingAccess::lock(rig->store);
        for (const ScreenLine& line : testing::RingAccess::lines(rig->store)) {
            errors +=
                std::string_view(line.text).find(text::sjis("com ｴﾗ- 5")) != std::string_view::npos;
        }
    }
    EXPECT_EQ(errors, 1);
}

TEST_F(LinkTncsimTest, CloseDuringABurstStopsEverything) {
    start({"--burst", "50000000", "--no-echo"});
    rig->desktop.choose(dir.file("burst.txt"));
    rig->capture.start_download("");
    ASSERT_TRUE(rig->link->open_port());
    type("x");
    ASSERT_TRUE(
        eventually([&] { return std::filesystem::file_size(dir.file("burst.txt")) > 100000; }));
    rig->link->close_port();
    auto size = std::filesystem::file_size(dir.file("burst.txt"));
    int line;
    {
        auto lock = testing::RingAccess::lock(rig->store);
        line = testing::RingAccess::current_line(rig->store);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(std::filesystem::file_size(dir.file("burst.txt")), size);
    auto lock = testing::RingAccess::lock(rig->store);
    EXPECT_EQ(testing::RingAccess::current_line(rig->store), line);
}

}  // namespace
}  // namespace kestrel
