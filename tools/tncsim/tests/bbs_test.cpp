// The BBS station: listing, reading several messages framed for a date-named download,
// sending a message, and the link's beginning and end.

#include <gtest/gtest.h>
#include <iconv.h>

#include <regex>
#include <string>
#include <vector>

#include "terminal.h"
#include "tncsim_process.h"

namespace kestrel::testing {
namespace {

const std::string start_string = "Msg#";
const std::string end_string = "[End of message]";

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    for (std::size_t end; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
        lines.push_back(text.substr(pos, end - pos));
    }
    return lines;
}

bool has_high_bytes(const std::string& text) {
    for (unsigned char c : text) {
        if (c >= 0x80) return true;
    }
    return false;
}

bool is_cp932(const std::string& text) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    std::string in = text;
    char* in_ptr = in.data();
    std::size_t in_left = in.size();
    std::string out(in.size() * 3 + 1, '\0');
    char* out_ptr = out.data();
    std::size_t out_left = out.size();
    const bool ok =
        iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    return ok;
}

// The message number a terminal reads from a listed line: the leading run of spaces and digits.
int number_of(const std::string& line) {
    std::size_t i = 0;
    while (i < line.size() && line[i] == ' ') ++i;
    int n = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') n = n * 10 + (line[i++] - '0');
    return n;
}

// The messages framed in a read's output: header line, subject and body, one entry each.
std::vector<std::vector<std::string>> framed_messages(const std::string& text) {
    std::vector<std::vector<std::string>> messages;
    bool inside = false;
    for (const auto& line : lines_of(text)) {
        if (line.rfind(start_string, 0) == 0) {
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

class BbsTest : public ::testing::Test {
protected:
    void SetUp() override {
        term_.read_until("cmd:");
        greeting_ = term_.command("C JA1BBS", "JA1BBS>\r\n");
    }

    TncsimProcess tnc_{{"--dx-interval", "0", "--seed", "3"}};
    Terminal term_{tnc_.slave_path()};
    std::string greeting_;
};

TEST_F(BbsTest, ListsNewestFirstWithRightAlignedNumbers) {
    EXPECT_EQ(greeting_.rfind("C JA1BBS\r\n*** CONNECTED to JA1BBS\r\n", 0), 0u) << greeting_;

    const auto lines = lines_of(term_.command("L", "JA1BBS>\r\n"));
    ASSERT_EQ(lines.size(), 1 + 1 + 24 + 1u);  // echo, heading, messages, prompt
    EXPECT_EQ(number_of(lines[1]), 0) << "the heading must not look like a message";
    int japanese = 0;
    for (int i = 0; i < 24; ++i) {
        const std::string& line = lines[2 + static_cast<std::size_t>(i)];
        char number[8];
        std::snprintf(number, sizeof number, "%5d ", 24 - i);
        EXPECT_EQ(line.substr(0, 6), number) << line;
        EXPECT_EQ(number_of(line), 24 - i);
        EXPECT_TRUE(std::regex_search(
            line, std::regex(R"(^ {0,4}\d+ +\d+ \S+ +\S+ +\d\d/\d\d \d\d:\d\d \S)")))
            << line;
        EXPECT_TRUE(is_cp932(line)) << line;
        japanese += has_high_bytes(line);
    }
    EXPECT_GT(japanese, 0);
    EXPECT_LT(japanese, 24);
}

TEST_F(BbsTest, ReadsSeveralMessagesEachFramedForDownload) {
    const auto listing = lines_of(term_.command("L", "JA1BBS>\r\n"));
    // "%5d %5u %-6s %-7s mm/dd hh:mm " comes before the subject.
    constexpr std::size_t subject_column = 39;
    const auto subject_of = [&](int n) {
        return listing[2 + static_cast<std::size_t>(24 - n)].substr(subject_column);
    };

    const std::string read = term_.command("R 3,24,7", "JA1BBS>\r\n");
    EXPECT_EQ(read.rfind("R 3,24,7\r\n" + start_string, 0), 0u) << read;
    EXPECT_EQ(read.substr(read.size() - end_string.size() - 11), end_string + "\r\nJA1BBS>\r\n");
    const auto messages = framed_messages(read);
    ASSERT_EQ(messages.size(), 3u);
    const int asked[] = {3, 24, 7};
    const std::regex header(R"(^Msg# (\d+)  From: \S+  To: \S+  Date: \d\d/\d\d/\d\d \d\d:\d\d$)");
    for (std::size_t i = 0; i < 3; ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(messages[i][0], m, header)) << messages[i][0];
        EXPECT_EQ(std::stoi(m[1]), asked[i]);
        EXPECT_EQ(messages[i][1], "Subject: " + subject_of(asked[i]));
        EXPECT_EQ(messages[i][2], "");
        EXPECT_EQ(messages[i].back().rfind("73 de ", 0), 0u);
    }

    // Numbers separated by spaces, and a number that does not exist.
    const auto spaced = framed_messages(term_.command("R 5 6", "JA1BBS>\r\n"));
    ASSERT_EQ(spaced.size(), 2u);
    EXPECT_EQ(spaced[0][0].rfind("Msg# 5  ", 0), 0u);
    EXPECT_EQ(spaced[1][0].rfind("Msg# 6  ", 0), 0u);
    const std::string missing = term_.command("r 2, 99", "JA1BBS>\r\n");
    EXPECT_EQ(framed_messages(missing).size(), 1u);
    EXPECT_NE(missing.find(end_string + "\r\nNo such message: 99\r\n"), std::string::npos)
        << missing;
}

TEST_F(BbsTest, SentMessageIsListedAndRead) {
    EXPECT_EQ(term_.command("S ALL", "Subject:\r\n"), "S ALL\r\nSubject:\r\n");
    term_.command("Test subject", "Ctrl-Z:\r\n");
    term_.send("line one\r\xE3\x81\x82\r/EX\r");
    term_.read_until("Message 25 saved\r\nJA1BBS>\r\n");
    EXPECT_EQ(lines_of(term_.command("L", "JA1BBS>\r\n"))[2].substr(0, 6), "   25 ");
    const auto message = framed_messages(term_.command("R 25", "JA1BBS>\r\n"));
    ASSERT_EQ(message.size(), 1u);
    EXPECT_EQ(message[0][1], "Subject: Test subject");
    EXPECT_EQ(std::vector<std::string>(message[0].begin() + 3, message[0].end()),
              (std::vector<std::string>{"line one", "\xE3\x81\x82"}));
}

TEST_F(BbsTest, CtrlCKeepsTheLinkAndByeEndsIt) {
    term_.send("\x03");
    EXPECT_EQ(term_.read_until("cmd:"), "cmd:");
    EXPECT_EQ(term_.command("C", "cmd:"), "C\r\nLink state is: CONNECTED to JA1BBS\r\ncmd:");
    EXPECT_EQ(term_.command("K", "\r\n"), "K\r\n");
    EXPECT_EQ(term_.command("", "JA1BBS>\r\n"), "\r\nJA1BBS>\r\n");
    EXPECT_EQ(term_.command("BYE", "cmd:"), "BYE\r\n73 de JA1BBS\r\n*** DISCONNECTED\r\ncmd:");

    term_.command("C JA1BBS", "JA1BBS>\r\n");
    term_.send("\x03");
    term_.read_until("cmd:");
    EXPECT_EQ(term_.command("D", "cmd:"), "D\r\n*** DISCONNECTED\r\ncmd:");
    EXPECT_EQ(term_.command("C", "cmd:"), "C\r\nLink state is: DISCONNECTED\r\ncmd:");
}

std::string messages_read(const std::string& seed) {
    TncsimProcess tnc({"--dx-interval", "0", "--seed", seed});
    Terminal term(tnc.slave_path());
    term.read_until("cmd:");
    term.command("C JA1BBS", "JA1BBS>\r\n");
    // Dates follow the clock; everything else follows the seed.
    return std::regex_replace(term.command("R 1,2,3,4", "JA1BBS>\r\n"),
                              std::regex(R"(Date: [0-9/: ]+)"), "Date:");
}

TEST(Bbs, SameSeedSameMessages) {
    const std::string first = messages_read("11");
    EXPECT_EQ(messages_read("11"), first);
    EXPECT_NE(messages_read("12"), first);
}

}  // namespace
}  // namespace kestrel::testing
