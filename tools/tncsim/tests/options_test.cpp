// The command-line options a test or a demo relies on: recording, the settings log, the
// symlink, ending on hang-up, bursts and pacing.

#include <gtest/gtest.h>
#include <termios.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "file_bytes.h"
#include "temp_dir.h"
#include "terminal.h"
#include "tncsim_process.h"

namespace kestrel::testing {
namespace {

// The file's bytes once they hold `text`, or after a deadline that only keeps a broken run
// from hanging.
std::string file_once_it_holds(const std::string& path, const std::string& text) {
    std::string bytes;
    for (int tries = 0; (bytes = read_bytes(path)).find(text) == std::string::npos; ++tries) {
        if (tries == 1500) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return bytes;
}

// One run with the options a demo combines: the line is reached through the symlink, the
// settings log follows what the terminal sets (one that fills in its settings from scratch
// clears EXTPROC; later changes must still reach the log), every byte received is recorded,
// and the hang-up ends tncsim and takes the symlink away.
TEST(Options, RecordSettingsLogAndLinkUntilTheTerminalHangsUp) {
    TempDir dir;
    const std::string link = dir.file("tnc"), log = dir.file("settings.log");
    const std::string sent = "C JA1BBS\rL\r\x82\xa0\x03\r\nMYX\b\r";
    TncsimProcess tnc({"--dx-interval", "0", "--record", dir.file("rx.bin"), "--settings-log", log,
                       "--link", link, "--exit-on-hangup"});
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), tnc.slave_path());
    {
        Terminal term(link);
        EXPECT_EQ(term.read_until("cmd:"), "tncsim TNC-2 simulator\r\ncmd:");
        termios t{};
        cfmakeraw(&t);
        t.c_cflag |= CS8 | CREAD | CLOCAL | CRTSCTS | CSTOPB;
        cfsetspeed(&t, B19200);
        ASSERT_EQ(tcsetattr(term.fd(), TCSANOW, &t), 0);
        file_once_it_holds(log, "speed=19200");
        cfsetspeed(&t, B2400);
        t.c_cflag &= ~(CRTSCTS | CSTOPB);
        t.c_iflag |= IXON | IXOFF;
        ASSERT_EQ(tcsetattr(term.fd(), TCSANOW, &t), 0);
        EXPECT_EQ(file_once_it_holds(log, "speed=2400"),
                  "speed=19200 bits=8 parity=none stop=2 flow=rtscts\n"
                  "speed=2400 bits=8 parity=none stop=1 flow=xonxoff\n");
        term.send(sent);  // the line still works
        term.read_until("MYCALL NOCALL\r\ncmd:");
    }
    EXPECT_EQ(tnc.wait_for_exit(), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_EQ(read_bytes(dir.file("rx.bin")), sent);  // complete once tncsim has ended
}

TEST(Options, PacedBurstArrivesWhole) {
    TncsimProcess tnc({"--dx-interval", "0", "--burst", "3000", "--rate", "50000"});
    Terminal term(tnc.slave_path());
    term.read_until("cmd:");
    // The echo and prompt come first, then exactly the burst, which ends with a line end.
    const std::string text = term.command("", "---\r\n");
    ASSERT_EQ(text.rfind("\r\ncmd:000001 The quick brown fox", 0), 0u) << text;
    EXPECT_EQ(text.size() - 6, 3000u);
    EXPECT_EQ(term.command("", "cmd:"), "\r\ncmd:");
}

}  // namespace
}  // namespace kestrel::testing
