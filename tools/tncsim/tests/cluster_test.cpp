// The DX cluster station: announcement and listing columns as a spot parser reads them, WWV
// lines, spots from the operator, and TALK.

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "terminal.h"
#include "tncsim_process.h"

namespace kestrel::testing {
namespace {

bool is_time(const std::string& text) { return std::regex_match(text, std::regex(R"(\d{4}Z)")); }

// Digits before the point of a frequency field, which must be kHz with one decimal,
// right-aligned in its 8 columns.
int khz_digits(const std::string& field) {
    std::smatch m;
    if (!std::regex_match(field, m, std::regex(R"( *(\d+)\.\d)")) || field.size() != 8) return 0;
    return static_cast<int>(m[1].length());
}

// Checks one "DX de " line (without CR LF); returns its layout's point column and digit count.
std::pair<int, int> check_announcement(const std::string& line) {
    // The line reaches a parser with its CR, which counts toward the 75 to 80 it accepts.
    EXPECT_GE(line.size() + 1, 75u) << line;
    EXPECT_LE(line.size() + 1, 80u) << line;
    EXPECT_EQ(line.rfind("DX de ", 0), 0u);
    const std::size_t colon = line.find(':');
    const bool wide = line.size() > 23 && line[23] == '.';
    const std::size_t shift = wide ? 0 : 1;  // the narrow layout sits one column further left
    EXPECT_TRUE(wide || line[22] == '.') << line;
    EXPECT_LT(colon, 17 - shift) << line;
    const int digits = khz_digits(line.substr(17 - shift, 8));
    EXPECT_NE(digits, 0) << line;
    EXPECT_EQ(line.substr(25 - shift, 2), "  ") << line;
    EXPECT_NE(line[27 - shift], ' ') << line;
    EXPECT_EQ(line[70 - shift], ' ') << line;
    EXPECT_TRUE(is_time(line.substr(71 - shift, 5))) << line;
    EXPECT_EQ(line.size(), 76 - shift) << line;
    return {wide ? 23 : 22, digits};
}

TEST(ClusterAnnouncements, KeepTheirColumnsForEveryFrequencyWidth) {
    TncsimProcess tnc({"--dx-interval", "0.01", "--seed", "9"});
    Terminal term(tnc.slave_path());
    term.read_until("cmd:");
    term.command("C JA1DX", "NOCALL de JA1DX >\r\n");

    std::set<std::pair<int, int>> seen;
    bool wwv = false;
    // Six spots in a row cover every combination; the bound only stops a broken run.
    for (int lines = 0; (seen.size() < 6 || !wwv) && lines < 100; ++lines) {
        std::string line = term.read_until("\r\n");
        line.resize(line.size() - 2);
        if (line.rfind("DX de ", 0) == 0) {
            seen.insert(check_announcement(line));
        } else {
            ASSERT_EQ(line.rfind("WWV de JA1DX <", 0), 0u) << line;
            EXPECT_TRUE(std::regex_search(line, std::regex(R"(WWV=\d\dZ SFI=\d+ A=\d+ K=\d )")))
                << line;
            wwv = true;
        }
    }
    // Both layouts, each with 4-, 5- and 6-digit kHz frequencies.
    EXPECT_EQ(seen, (std::set<std::pair<int, int>>{
                        {22, 4}, {22, 5}, {22, 6}, {23, 4}, {23, 5}, {23, 6}}));
}

TEST(ClusterAnnouncements, FollowTheLayoutAndGridOptions) {
    struct Row {
        std::vector<std::string> options;
        int point;  // column of the frequency's point; 0: the skimmer's words
        bool grid;
    } rows[] = {{{"--dx-layout", "b", "--dx-grid"}, 22, true},
                {{"--dx-layout=A"}, 23, false},
                {{"--dx-layout", "skimmer", "--dx-grid"}, 0, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.options.size() > 1 ? row.options[1] : row.options[0]);
        std::vector<std::string> args = {"--dx-interval", "0.01"};
        args.insert(args.end(), row.options.begin(), row.options.end());
        TncsimProcess tnc(args);
        Terminal term(tnc.slave_path());
        term.read_until("cmd:");
        term.command("C JA1DX", "NOCALL de JA1DX >\r\n");
        for (int spots = 0; spots < 4;) {
            std::string line = term.read_until("\r\n");
            line.resize(line.size() - 2);
            if (line.rfind("WWV de ", 0) == 0) continue;
            ++spots;
            const std::size_t end = row.grid ? line.size() - 5 : line.size();
            if (row.grid) {
                EXPECT_TRUE(std::regex_match(line.substr(end), std::regex(" [A-R]{2}\\d\\d")));
            }
            if (row.point) {
                EXPECT_EQ(check_announcement(line.substr(0, end)).first, row.point);
            } else {
                EXPECT_TRUE(std::regex_match(
                    line.substr(0, end),
                    std::regex(R"(DX de [A-Z0-9-]+-#: +\d+\.\d\d  [A-Z0-9/]+ .* \d{4}Z)")))
                    << line;
            }
        }
    }
}

class ClusterTest : public ::testing::Test {
protected:
    void SetUp() override {
        term_.read_until("cmd:");
        const std::string greeting = term_.command("C JA1DX", prompt_);
        EXPECT_EQ(greeting.rfind("C JA1DX\r\n*** CONNECTED to JA1DX\r\n", 0), 0u) << greeting;
    }

    TncsimProcess tnc_{{"--dx-interval", "0", "--mycall", "ja1kes"}};
    Terminal term_{tnc_.slave_path()};
    const std::string prompt_ = "JA1KES de JA1DX >\r\n";
};

TEST_F(ClusterTest, SpotListingKeepsItsColumns) {
    const std::string listing = term_.command("SH/DX 15", prompt_);
    std::size_t lines = 0;
    std::size_t pos = std::string("SH/DX 15\r\n").size();
    for (std::size_t end; (end = listing.find("\r\n", pos)) + 2 < listing.size(); pos = end + 2) {
        const std::string line = listing.substr(pos, end - pos);
        ++lines;
        // 77 columns: with its CR within the 77 to 79 a parser accepts.
        EXPECT_EQ(line.size(), 77u) << line;
        EXPECT_NE(khz_digits(line.substr(0, 8)), 0) << line;
        EXPECT_EQ(line.substr(8, 2), "  ") << line;
        EXPECT_NE(line[10], ' ') << line;
        EXPECT_TRUE(
            std::regex_match(line.substr(22, 11), std::regex(R"(\d\d-[A-Z][a-z]{2}-\d{4})")))
            << line;
        EXPECT_TRUE(is_time(line.substr(34, 5))) << line;
        EXPECT_TRUE(std::regex_search(line.substr(41), std::regex(R"(<[A-Z0-9-]+>$)"))) << line;
    }
    EXPECT_EQ(lines, 15u);

    const std::string wwv = term_.command("SH/WWV 2", prompt_);
    EXPECT_TRUE(std::regex_match(wwv, std::regex("SH/WWV 2\r\n(WWV de JA1DX <\\d\\d>: WWV=\\d\\dZ "
                                                 "SFI=\\d+ A=\\d+ K=\\d [^\r]+\r\n){2}" +
                                                 prompt_)))
        << wwv;
}

TEST_F(ClusterTest, OperatorsSpotIsAnnouncedAndListedFirst) {
    const std::string announced = term_.command("DX 14025.0 ja2xyz test", prompt_);
    EXPECT_EQ(announced.substr(0, 24), "DX 14025.0 ja2xyz test\r\n");
    const std::string line = announced.substr(24, announced.size() - 24 - 2 - prompt_.size());
    EXPECT_EQ(check_announcement(line), std::make_pair(23, 5));
    EXPECT_EQ(line.substr(0, 40), "DX de JA1KES:     14025.0  JA2XYZ       ");
    EXPECT_EQ(line.substr(40, 4), "test");

    const std::string listed = term_.command("SH/DX 1", prompt_);
    EXPECT_EQ(listed.substr(9, 22), " 14025.0  JA2XYZ      ") << listed;
    EXPECT_NE(listed.find("test"), std::string::npos);
    EXPECT_NE(listed.find("<JA1KES>\r\n"), std::string::npos);

    EXPECT_EQ(term_.command("DX 1440000.0 JA2XYZ", prompt_).find("DX de"), std::string::npos);
}

TEST_F(ClusterTest, TalkComesBackNamingTheOtherStation) {
    EXPECT_EQ(term_.command("TALK ja2xyz hello there", prompt_),
              "TALK ja2xyz hello there\r\nJA1KES de JA2XYZ: hello there\r\n" + prompt_);

    // Coded text comes back unchanged, its header early enough in the line to be decoded.
    const std::string coded = "?x-sjis?B?grGC8YLJgr+CzQ==";
    const std::string reply = term_.command("TALK JA2XYZ " + coded, prompt_);
    const std::string line = "JA1KES de JA2XYZ: " + coded + "\r\n";
    ASSERT_NE(reply.find(line), std::string::npos) << reply;
    EXPECT_LE(line.find("?x-sjis?B?"), 30u);

    EXPECT_EQ(term_.command("BYE", "cmd:"), "BYE\r\n73 de JA1DX\r\n*** DISCONNECTED\r\ncmd:");
}

}  // namespace
}  // namespace kestrel::testing
