// The TNC's command mode: prompt, echo, line editing, its commands and their answers.

#include <gtest/gtest.h>

#include <cstdio>

#include "terminal.h"
#include "tncsim_process.h"

namespace kestrel::testing {
namespace {

// Each row's bytes are sent, then everything up to the next prompt must be its reply.
void exchange(Terminal& term, std::initializer_list<std::pair<const char*, const char*>> rows) {
    for (const auto& [sent, reply] : rows) {
        SCOPED_TRACE(sent);
        term.send(sent);
        EXPECT_EQ(term.read_until("cmd:"), reply);
    }
}

TEST(CommandMode, EchoesEditsAndAnswersCommands) {
    TncsimProcess tnc({"--dx-interval", "0"});
    Terminal term(tnc.slave_path());
    exchange(
        term,
        {
            {"", "tncsim TNC-2 simulator\r\ncmd:"},
            // A backspace erases the last byte, on the screen and in the command.
            {"MYX\bCALL\r", "MYX\b \bCALL\r\nMYCALL NOCALL\r\ncmd:"},
            // Commands are case-insensitive and take abbreviations.
            {"my ja1kes\r", "my ja1kes\r\nMYCALL was NOCALL\r\ncmd:"},
            {"MYCALL\r", "MYCALL\r\nMYCALL JA1KES\r\ncmd:"},
            // Without a link, converse-mode lines go out unproto and draw no answer; Ctrl-C
            // returns to command mode.
            {"K\rXYZZY\r\x03", "K\r\nXYZZY\r\ncmd:"},
            {"XYZZY\r", "XYZZY\r\n?EH\r\ncmd:"},
            // The form the terminal's clock command sends: setting answers with the prompt only.
            {"DAYTIME 080306090407\r", "DAYTIME 080306090407\r\ncmd:"},
            {"DAYTIME 081306090407\r", "DAYTIME 081306090407\r\n?BAD\r\ncmd:"},
            {"DAYTIME 0803060904\r", "DAYTIME 0803060904\r\n?BAD\r\ncmd:"},
        });

    // The clock runs on from the time set; the bad ones changed nothing.
    const std::string shown = term.command("DAY", "cmd:");
    int minute = -1, second = -1;
    std::sscanf(shown.c_str(), "DAY\r\nDAYTIME 08/03/06 09:%d:%d\r\ncmd:", &minute, &second);
    EXPECT_GE(minute * 60 + second, 4 * 60 + 7) << shown;
    EXPECT_EQ(tnc.stop(), 0);
}

TEST(CommandMode, EchoCanBeSwitchedOff) {
    TncsimProcess tnc({"--dx-interval", "0", "--no-echo"});
    Terminal term(tnc.slave_path());
    exchange(term, {{"", "tncsim TNC-2 simulator\r\ncmd:"},
                    {"XYZZY\r", "\r\n?EH\r\ncmd:"},
                    {"ECHO ON\r", "\r\nECHO was OFF\r\ncmd:"},
                    {"E\r", "E\r\nECHO ON\r\ncmd:"}});
}

}  // namespace
}  // namespace kestrel::testing
