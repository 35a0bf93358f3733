// End to end: the link against the simulated TNC on a real pseudo-terminal.

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <tuple>
#include <vector>

#include "link_rig.h"
#include "ring_access.h"
#include "temp_dir.h"
#include "tncsim_process.h"

namespace kestrel {
namespace {

using testing::eventually;
using testing::file_text;

// tncsim started with `args` and a Link on its line (DSR watch off: a pty has no DSR); tncsim
// is built with the tests.
struct TncsimLink {
    explicit TncsimLink(std::vector<std::string> args) : tnc(std::move(args)) {
        rig.settings.port.dsr_watch = 0;
    }
    testing::TempDir dir;
    testing::TncsimProcess tnc;
    testing::LinkRig rig{tnc.slave_path()};
};

// Every open sets the line anew.
TEST(LinkTncsimTest, LineSettingsReachTheLine) {
    testing::TempDir dir;
    const std::string log = dir.file("settings.log");
    TncsimLink s({"--settings-log", log});
    for (const auto& [baud, flow, line] :
         {std::tuple(4800, 1, "speed=4800 bits=8 parity=none stop=1 flow=rtscts\n"),
          std::tuple(38400, 0, "speed=38400 bits=8 parity=none stop=1 flow=xonxoff\n")}) {
        s.rig.settings.port.baud_rate = baud;
        s.rig.settings.port.flow_control = flow;
        ASSERT_TRUE(s.rig.link->open_port());
        EXPECT_TRUE(eventually([&] { return file_text(log).ends_with(line); })) << file_text(log);
        s.rig.link->close_port();
    }
}

// Neither the capture file nor the screen moves once close_port returns mid-burst.
TEST(LinkTncsimTest, CloseDuringABurstStopsEverything) {
    TncsimLink s({"--burst", "50000000", "--no-echo"});
    const std::string file = s.dir.file("burst.txt");
    s.rig.desktop.choose(file);
    s.rig.capture.start_download("");
    ASSERT_TRUE(s.rig.link->open_port());
    s.rig.link->send_char('x');
    // The burst has begun once the capture's first buffer is written; 50 MB lasts far longer
    // than that, however slow the machine. No deadline: the test's time-out ends a hang.
    while (std::filesystem::file_size(file) == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    s.rig.link->close_port();
    const auto size = std::filesystem::file_size(file);
    const auto current_line = [&] {
        auto lock = testing::RingAccess::lock(s.rig.store);
        return testing::RingAccess::current_line(s.rig.store);
    };
    const int line = current_line();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(std::filesystem::file_size(file), size);
    EXPECT_EQ(current_line(), line);
}

}  // namespace
}  // namespace kestrel
