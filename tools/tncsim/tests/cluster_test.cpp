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

// kHz with one decimal right-aligned in 8 columns, the digits captured.
const std::string khz = R"((?=[ \d]{6}\.) *(\d+)\.\d)";
const std::string wwv = R"(WWV de JA1DX <\d\d>: WWV=\d\dZ SFI=\d+ A=\d+ K=\d [^\r]+)";

bool matches(const std::string& text, const std::string& pattern) {
    return std::regex_match(text, std::regex(pattern));
}

// An announcement's layout by the column of its frequency's point (23: A, 22: B, 0: the
// skimmer's words) and its kHz digits; {-1, 0} when its columns are wrong. With its CR an
// A or B line is 77 or 76 bytes, within the 75 to 80 a parser reads.
std::pair<int, int> announcement(const std::string& line) {
    std::smatch m;
    if (std::regex_match(line, m, std::regex("DX de [^:]*:.*" + khz + R"(  \S.{42} \d{4}Z)"))) {
        return {static_cast<int>(m.position(1) + m.length(1)), static_cast<int>(m.length(1))};
    }
    if (std::regex_match(line, m,
                         std::regex(R"(DX de [A-Z0-9-]+-#: +(\d+)\.\d\d  [A-Z0-9/]+ .* \d{4}Z)"))) {
        return {0, static_cast<int>(m.length(1))};
    }
    return {-1, 0};
}

// Both layouts and the skimmer's, each with 4-, 5- and 6-digit kHz frequencies, grid squares
// on request, and a WWV line every fifth announcement.
TEST(ClusterAnnouncements, KeepTheColumnsASpotParserReads) {
    struct Row {
        std::vector<std::string> options;
        bool grid;
        std::set<std::pair<int, int>> kinds;
    } rows[] = {
        {{}, false, {{22, 4}, {22, 5}, {22, 6}, {23, 4}, {23, 5}, {23, 6}}},
        {{"--dx-layout", "b", "--dx-grid"}, true, {{22, 4}, {22, 5}, {22, 6}}},
        {{"--dx-layout=A"}, false, {{23, 4}, {23, 5}, {23, 6}}},
        {{"--dx-layout", "skimmer", "--dx-grid"}, true, {{0, 4}, {0, 5}, {0, 6}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.options));
        std::vector<std::string> args = {"--dx-interval", "0.01"};
        args.insert(args.end(), row.options.begin(), row.options.end());
        TncsimProcess tnc(args);
        Terminal term(tnc.slave_path());
        term.read_until("cmd:");
        term.command("C JA1DX", "NOCALL de JA1DX >\r\n");
        std::set<std::pair<int, int>> kinds;
        int wwv_lines = 0;
        for (int spots = 0; spots < 6;) {
            std::string line = term.read_until("\r\n");
            line.resize(line.size() - 2);
            if (line.starts_with("WWV de ")) {
                EXPECT_PRED2(matches, line, wwv);
                ++wwv_lines;
                continue;
            }
            ++spots;
            if (row.grid) {
                EXPECT_PRED2(matches, line.substr(line.size() - 5), R"( [A-R]{2}\d\d)");
                line.resize(line.size() - 5);
            }
            kinds.insert(announcement(line));
        }
        EXPECT_EQ(kinds, row.kinds);
        EXPECT_EQ(wwv_lines, 1);
    }
}

// Listings, the operator's own spot, TALK and leaving, with the exact texts a terminal's
// tests rely on.
TEST(ClusterSession, ListsSpotsTakesTheOperatorsAndTalks) {
    TncsimProcess tnc({"--dx-interval", "0", "--mycall", "ja1kes"});
    Terminal term(tnc.slave_path());
    term.read_until("cmd:");
    const std::string prompt = "JA1KES de JA1DX >\r\n";
    const std::string greeting = term.command("C JA1DX", prompt);
    EXPECT_TRUE(greeting.starts_with("C JA1DX\r\n*** CONNECTED to JA1DX\r\n")) << greeting;

    // Each command's echo, its reply and the prompt; a listed spot has 77 columns, with its CR
    // within the 77 to 79 a parser accepts. A spot outside every band is refused, not announced.
    const std::string date_time = R"(\d\d-[A-Z][a-z]{2}-\d{4} \d{4}Z)";
    const std::pair<std::string, std::string> replies[] = {
        {"SH/DX 15",
         "((?=.{77}\r)" + khz + R"(  \S.{11})" + date_time + R"(  .{24,}<[A-Z0-9-]+>\r\n){15})"},
        {"SH/WWV 2", "(" + wwv + "\r\n){2}"},
        {"DX 14025.0 ja2xyz test",
         R"(DX de JA1KES:     14025.0  JA2XYZ       test {27}\d{4}Z\r\n)"},
        {"SH/DX 1", " 14025.0  JA2XYZ      " + date_time + "  test {24}<JA1KES>\r\n"},
        {"DX 1440000.0 JA2XYZ", "Usage: DX freq call \\[text\\], freq in kHz below 1000000\r\n"},
        {"TALK ja2xyz hello there", "JA1KES de JA2XYZ: hello there\r\n"},
    };
    for (const auto& [command, reply] : replies)
        EXPECT_PRED2(matches, term.command(command, prompt), command + "\r\n" + reply + prompt);
    // Coded text comes back unchanged, its header early enough in the line to be decoded.
    const std::string coded = "?x-sjis?B?grGC8YLJgr+CzQ==";
    EXPECT_EQ(term.command("TALK JA2XYZ " + coded, prompt),
              "TALK JA2XYZ " + coded + "\r\nJA1KES de JA2XYZ: " + coded + "\r\n" + prompt);
    EXPECT_EQ(term.command("BYE", "cmd:"), "BYE\r\n73 de JA1DX\r\n*** DISCONNECTED\r\ncmd:");
}

}  // namespace
}  // namespace kestrel::testing
