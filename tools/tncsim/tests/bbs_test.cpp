// The BBS station: listing, reading several messages framed for a date-named download,
// sending a message, and the link's beginning and end.

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "terminal.h"
#include "tncsim_process.h"

namespace kestrel::testing {
namespace {

const std::string start_string = "Msg#";
const std::string end_string = "[End of message]";
const std::string prompt = "JA1BBS>\r\n";

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    for (std::size_t end; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2)
        lines.push_back(text.substr(pos, end - pos));
    return lines;
}

bool is_cp932(std::string text) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    char out[1024];
    char *in_ptr = text.data(), *out_ptr = out;
    std::size_t in_left = text.size(), out_left = sizeof out;
    const bool ok = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) != std::size_t(-1);
    iconv_close(cd);
    return ok;
}

// The messages framed in a read's output: header line, subject and body, one entry each.
std::vector<std::vector<std::string>> framed_messages(const std::string& text) {
    std::vector<std::vector<std::string>> messages;
    bool inside = false;
    for (const auto& line : lines_of(text)) {
        if (line.starts_with(start_string)) {
            EXPECT_FALSE(inside) << "a message starts inside another: " << line;
            messages.emplace_back();
            inside = true;
        }
        if (line == end_string) {
            EXPECT_TRUE(inside) << "an end line outside a message";
            inside = false;
        } else if (inside) {
            messages.back().push_back(line);
        }
    }
    EXPECT_FALSE(inside) << "the last message has no end line";
    return messages;
}

// tncsim's BBS station, connected.
struct BbsStation {
    explicit BbsStation(const std::string& layout = "right", const char* seed = "3")
        : tnc({"--dx-interval", "0", "--seed", seed, "--list-layout", layout}) {
        term.read_until("cmd:");
        greeting = term.command("C JA1BBS", prompt);
    }
    TncsimProcess tnc;
    Terminal term{tnc.slave_path()};
    std::string greeting;
};

// Either layout keeps the columns; a terminal takes a line's leading number for a message
// number, so the heading has none.
TEST(Bbs, ListsNewestFirstAndReadsSeveralMessagesEachFramedForDownload) {
    for (const std::string layout : {"right", "left"}) {
        SCOPED_TRACE(layout);
        BbsStation bbs(layout);
        Terminal& term = bbs.term;
        EXPECT_TRUE(bbs.greeting.starts_with("C JA1BBS\r\n*** CONNECTED to JA1BBS\r\n"));
        const auto listing = lines_of(term.command("L", prompt));
        ASSERT_EQ(listing.size(), 1 + 1 + 24 + 1u);  // echo, heading, messages, prompt
        const auto listed = [&](int n) { return listing[static_cast<std::size_t>(26 - n)]; };
        // A listed message: number, size, to, from, date and time, subject.
        const std::regex message((layout == "left" ? "^" : "^ {0,4}") +
                                 std::string(R"(\d+ +\d+ \S+ +\S+ +\d\d/\d\d \d\d:\d\d \S)"));
        EXPECT_FALSE(std::regex_search(listing[1], std::regex(R"(^ *\d)"))) << listing[1];
        int japanese = 0;
        for (int n = 24; n >= 1; --n) {
            const std::string line = listed(n);
            SCOPED_TRACE(line);
            char number[8];
            std::snprintf(number, sizeof number, layout == "left" ? "%-5d " : "%5d ", n);
            EXPECT_TRUE(line.starts_with(number));
            EXPECT_TRUE(std::regex_search(line, message));
            EXPECT_TRUE(is_cp932(line));
            japanese += std::any_of(line.begin(), line.end(), [](char c) { return c & 0x80; });
        }
        EXPECT_GT(japanese, 0);
        EXPECT_LT(japanese, 24);

        const std::string read = term.command("R 3,24,7", prompt);
        EXPECT_TRUE(read.starts_with("R 3,24,7\r\n" + start_string)) << read;
        EXPECT_TRUE(read.ends_with(end_string + "\r\n" + prompt)) << read;
        const auto messages = framed_messages(read);
        ASSERT_EQ(messages.size(), 3u);
        const int asked[] = {3, 24, 7};
        const std::regex header(
            R"(^Msg# (\d+)  From: \S+  To: \S+  Date: \d\d/\d\d/\d\d \d\d:\d\d$)");
        for (std::size_t i = 0; i < 3; ++i) {
            SCOPED_TRACE(asked[i]);
            std::smatch m;
            ASSERT_TRUE(std::regex_match(messages[i][0], m, header)) << messages[i][0];
            EXPECT_EQ(std::stoi(m[1]), asked[i]);
            // "%5d %5u %-6s %-7s mm/dd hh:mm " comes before the subject in the listing.
            EXPECT_EQ(messages[i][1], "Subject: " + listed(asked[i]).substr(39));
            EXPECT_EQ(messages[i][2], "");
            EXPECT_TRUE(messages[i].back().starts_with("73 de "));
        }
    }
}

// Reads by numbers, a message sent, then Ctrl-C keeps the link, BYE ends it, and D ends the
// next one from command mode.
TEST(Bbs, ReadsByNumbersTakesAMessageAndEndsTheLink) {
    BbsStation bbs;
    Terminal& term = bbs.term;
    // Numbers separated by spaces, and a number that does not exist.
    const auto spaced = framed_messages(term.command("R 5 6", prompt));
    ASSERT_EQ(spaced.size(), 2u);
    EXPECT_TRUE(spaced[0][0].starts_with("Msg# 5  "));
    EXPECT_TRUE(spaced[1][0].starts_with("Msg# 6  "));
    const std::string missing = term.command("r 2, 99", prompt);
    EXPECT_EQ(framed_messages(missing).size(), 1u);
    EXPECT_NE(missing.find(end_string + "\r\nNo such message: 99\r\n"), std::string::npos)
        << missing;

    // A message sent is listed first and reads back as written.
    EXPECT_EQ(term.command("S ALL", "Subject:\r\n"), "S ALL\r\nSubject:\r\n");
    term.command("Test subject", "Ctrl-Z:\r\n");
    term.send("line one\r\xE3\x81\x82\r/EX\r");
    term.read_until("Message 25 saved\r\n" + prompt);
    EXPECT_TRUE(lines_of(term.command("L", prompt))[2].starts_with("   25 "));
    const auto message = framed_messages(term.command("R 25", prompt));
    ASSERT_EQ(message.size(), 1u);
    EXPECT_EQ(message[0][1], "Subject: Test subject");
    EXPECT_EQ(std::vector<std::string>(message[0].begin() + 3, message[0].end()),
              (std::vector<std::string>{"line one", "\xE3\x81\x82"}));

    term.send("\x03");
    EXPECT_EQ(term.read_until("cmd:"), "cmd:");
    EXPECT_EQ(term.command("C", "cmd:"), "C\r\nLink state is: CONNECTED to JA1BBS\r\ncmd:");
    EXPECT_EQ(term.command("K", "\r\n"), "K\r\n");
    EXPECT_EQ(term.command("", prompt), "\r\n" + prompt);
    EXPECT_EQ(term.command("BYE", "cmd:"), "BYE\r\n73 de JA1BBS\r\n*** DISCONNECTED\r\ncmd:");

    term.command("C JA1BBS", prompt);
    term.send("\x03");
    term.read_until("cmd:");
    EXPECT_EQ(term.command("D", "cmd:"), "D\r\n*** DISCONNECTED\r\ncmd:");
    EXPECT_EQ(term.command("C", "cmd:"), "C\r\nLink state is: DISCONNECTED\r\ncmd:");
}

std::string messages_read(const char* seed) {
    // Dates follow the clock; everything else follows the seed.
    return std::regex_replace(BbsStation("right", seed).term.command("R 1,2,3,4", prompt),
                              std::regex(R"(Date: [0-9/: ]+)"), "Date:");
}

TEST(Bbs, SameSeedSameMessages) {
    const std::string first = messages_read("11");
    EXPECT_EQ(messages_read("11"), first);
    EXPECT_NE(messages_read("12"), first);
}

}  // namespace
}  // namespace kestrel::testing
