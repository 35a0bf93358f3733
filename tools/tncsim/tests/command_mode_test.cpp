// The TNC's command mode: prompt, echo, line editing, its commands and their answers.

#include <gtest/gtest.h>

#include <cstdio>

#include "terminal.h"
#include "tncsim_process.h"

namespace kestrel::testing {
namespace {

TEST(CommandMode, EchoesEditsAndAnswersCommands) {
    TncsimProcess tnc({"--dx-interval", "0"});
    Terminal term(tnc.slave_path());
    EXPECT_EQ(term.read_until("cmd:"), "tncsim TNC-2 simulator\r\ncmd:");

    EXPECT_EQ(term.command("XYZZY", "cmd:"), "XYZZY\r\n?EH\r\ncmd:");
    EXPECT_EQ(term.command("", "cmd:"), "\r\ncmd:");
    // A backspace erases the last byte, on the screen and in the command.
    EXPECT_EQ(term.command("MYX\bCALL", "cmd:"), "MYX\b \bCALL\r\nMYCALL NOCALL\r\ncmd:");
    // Commands are case-insensitive and take abbreviations.
    EXPECT_EQ(term.command("my ja1kes", "cmd:"), "my ja1kes\r\nMYCALL was NOCALL\r\ncmd:");
    EXPECT_EQ(term.command("MYCALL", "cmd:"), "MYCALL\r\nMYCALL JA1KES\r\ncmd:");
    EXPECT_EQ(term.command("U CQ VIA JA1DIG", "cmd:"), "U CQ VIA JA1DIG\r\nUNPROTO was CQ\r\ncmd:");
    EXPECT_EQ(term.command("UNPROTO", "cmd:"), "UNPROTO\r\nUNPROTO CQ VIA JA1DIG\r\ncmd:");
    EXPECT_EQ(term.command("D", "cmd:"), "D\r\nNot while disconnected\r\ncmd:");
    EXPECT_EQ(term.command("C NOBODY", "cmd:"),
              "C NOBODY\r\n*** retry count exceeded\r\n*** DISCONNECTED\r\ncmd:");
    EXPECT_EQ(tnc.stop(), 0);
}

TEST(CommandMode, EchoCanBeSwitchedOff) {
    TncsimProcess tnc({"--dx-interval", "0", "--no-echo"});
    Terminal term(tnc.slave_path());
    term.read_until("cmd:");
    EXPECT_EQ(term.command("XYZZY", "cmd:"), "\r\n?EH\r\ncmd:");
    EXPECT_EQ(term.command("ECHO ON", "cmd:"), "\r\nECHO was OFF\r\ncmd:");
    EXPECT_EQ(term.command("E", "cmd:"), "E\r\nECHO ON\r\ncmd:");
}

TEST(CommandMode, DaytimeSetsAndShowsTheClock) {
    TncsimProcess tnc({"--dx-interval", "0"});
    Terminal term(tnc.slave_path());
    term.read_until("cmd:");

    // The form the terminal's clock command sends: setting answers with the prompt only.
    EXPECT_EQ(term.command("DAYTIME 080306090407", "cmd:"), "DAYTIME 080306090407\r\ncmd:");
    const std::string shown = term.command("DAY", "cmd:");
    int minute = -1, second = -1;
    ASSERT_EQ(
        std::sscanf(shown.c_str(), "DAY\r\nDAYTIME 08/03/06 09:%d:%d\r\ncmd:", &minute, &second), 2)
        << shown;
    // The clock runs on from the time set.
    EXPECT_GE(minute * 60 + second, 4 * 60 + 7);

    for (const char* bad : {"DAYTIME 081306090407", "DAYTIME 080230090407", "DAYTIME 0803060904",
                            "DAYTIME 08030609040x"}) {
        EXPECT_EQ(term.command(bad, "cmd:"), std::string(bad) + "\r\n?BAD\r\ncmd:");
    }
    EXPECT_NE(term.command("DAYTIME", "cmd:").find("DAYTIME 08/03/06 09:"), std::string::npos);
}

TEST(CommandMode, ConverseModeUntilCtrlC) {
    TncsimProcess tnc({"--dx-interval", "0"});
    Terminal term(tnc.slave_path());
    term.read_until("cmd:");

    // Without a link, converse-mode lines go out unproto and draw no answer.
    term.send("K\rXYZZY\r\x03");
    EXPECT_EQ(term.read_until("cmd:"), "K\r\nXYZZY\r\ncmd:");
    EXPECT_EQ(term.command("XYZZY", "cmd:"), "XYZZY\r\n?EH\r\ncmd:");
    term.send("CONV\r\x03");
    EXPECT_EQ(term.read_until("cmd:"), "CONV\r\ncmd:");
}

}  // namespace
}  // namespace kestrel::testing
