// The command-line options a test or a demo relies on: recording, scripts, the settings log,
// the symlink, ending on hang-up, bursts and pacing.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "terminal.h"
#include "tncsim_process.h"

namespace kestrel::testing {
namespace {

// Waits for a file to hold text; the deadline only keeps a broken run from hanging.
std::string wait_for_content(const std::string& path, const std::string& text) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::string content;
    while (std::chrono::steady_clock::now() < until) {
        content = read_file(path);
        if (content.find(text) != std::string::npos) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return content;
}

TEST(Options, RecordKeepsEveryByteReceived) {
    TempDir dir;
    const std::string sent = "C JA1BBS\rL\r\x82\xa0\x03\r\nMYX\b\r";
    {
        TncsimProcess tnc({"--dx-interval", "0", "--record", dir.file("rx.bin")});
        Terminal term(tnc.slave_path());
        term.read_until("cmd:");
        term.send(sent);
        term.read_until("MYCALL NOCALL\r\ncmd:");
        EXPECT_EQ(tnc.stop(), 0);
    }
    EXPECT_EQ(read_file(dir.file("rx.bin")), sent);
}

TEST(Options, ScriptIsSentFirstThenTheTncAnswers) {
    TempDir dir;
    const std::string script = "Msg# 1 scripted\r\n\x82\xa0\x82\xa2\nno line end";
    write_file(dir.file("script.bin"), script);
    TncsimProcess tnc({"--dx-interval", "0", "--script", dir.file("script.bin")});
    Terminal term(tnc.slave_path());
    EXPECT_EQ(term.read_until("no line end"), script);
    EXPECT_EQ(term.command("", "cmd:"), "\r\ncmd:");
}

TEST(Options, SettingsLogFollowsWhatTheTerminalSets) {
    TempDir dir;
    const std::string log = dir.file("settings.log");
    TncsimProcess tnc({"--dx-interval", "0", "--settings-log", log});
    Terminal term(tnc.slave_path());
    term.read_until("cmd:");

    // A terminal that fills in its settings from scratch clears EXTPROC; later changes must
    // still reach the log.
    termios t{};
    cfmakeraw(&t);
    t.c_cflag |= CS8 | CREAD | CLOCAL | CRTSCTS | CSTOPB;
    cfsetspeed(&t, B19200);
    ASSERT_EQ(tcsetattr(term.fd(), TCSANOW, &t), 0);
    wait_for_content(log, "speed=19200");
    cfsetspeed(&t, B2400);
    t.c_cflag &= ~(CRTSCTS | CSTOPB);
    t.c_iflag |= IXON | IXOFF;
    ASSERT_EQ(tcsetattr(term.fd(), TCSANOW, &t), 0);
    EXPECT_EQ(wait_for_content(log, "speed=2400"),
              "speed=19200 bits=8 parity=none stop=2 flow=rtscts\n"
              "speed=2400 bits=8 parity=none stop=1 flow=xonxoff\n");
    // The line still works.
    EXPECT_EQ(term.command("", "cmd:"), "\r\ncmd:");
}

TEST(Options, LinkLastsUntilTheTerminalHangsUp) {
    TempDir dir;
    const std::string link = dir.file("tnc");
    TncsimProcess tnc({"--dx-interval", "0", "--link", link, "--exit-on-hangup"});
    char target[256] = {};
    ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), tnc.slave_path());
    {
        Terminal term(link);
        EXPECT_EQ(term.read_until("cmd:"), "tncsim TNC-2 simulator\r\ncmd:");
    }
    EXPECT_EQ(tnc.wait_for_exit(), 0);
    struct stat st {};
    EXPECT_NE(lstat(link.c_str(), &st), 0);
}

TEST(Options, PacedBurstArrivesWhole) {
    TncsimProcess tnc({"--dx-interval", "0", "--burst", "3000", "--rate", "50000"});
    Terminal term(tnc.slave_path());
    term.read_until("cmd:");
    term.send("\r");
    // The echo and prompt come first, then exactly the burst, which ends with a line end.
    const std::string text = term.read_until("---\r\n");
    ASSERT_EQ(text.rfind("\r\ncmd:000001 The quick brown fox", 0), 0u) << text;
    EXPECT_EQ(text.size() - 6, 3000u);
    EXPECT_EQ(term.command("", "cmd:"), "\r\ncmd:");
}

TEST(Options, BadCommandLinesAreRefused) {
    for (const char* bad : {"--seed=x", "--bogus", "--rate", "--bbs=JA1DX"}) {
        EXPECT_THROW(TncsimProcess({bad}), std::runtime_error) << bad;
    }
}

}  // namespace
}  // namespace kestrel::testing
