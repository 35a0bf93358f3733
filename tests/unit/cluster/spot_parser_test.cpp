#include "core/cluster/spot_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "core/cluster/spot_board.h"

namespace kestrel {
namespace {

// A spot as its scope line shows it, age 0; callsign and remarks padded to their columns.
std::string shown(std::string call, std::string remarks, std::string_view freq,
                  std::string_view time, std::string_view spotter) {
    call.resize(11, ' ');
    remarks.resize(24, ' ');
    return std::string(freq) + " [ 0] " + std::string(time) + " " + call + "  " + remarks + "<" +
           std::string(spotter) + ">";
}

std::string read(std::string_view line) {
    const ClusterLine read = read_cluster_line(line);
    return read.spot ? shown_line_text(*read.spot, 0) : "no spot";
}

// Layouts cluster software prints, with the line ends TNCs pass on.
TEST(SpotParser, ReadsEveryLayoutOrNothing) {
    const std::string kanji = "\x82\xA0";  // one two-byte character
    std::string eleven_kanji;
    for (int i = 0; i < 11; ++i) eleven_kanji += kanji;
    const std::string a =
        "DX de JA1ABC:     14025.3  JA2XYZ       CW 25 WPM                      1234Z";
    const std::string b =
        "DX de KD0AA:     18100.0  JR1FYS       FT8 LOUD in FL!                2156Z";
    const std::string c =
        " 14025.3  JA2XYZ      05-Mar-2008 1234Z  599 TNX QSO                 <JA1ABC>";
    std::string no_colon = a;  // only the columns can read it: 76 bytes
    no_colon[12] = ' ';
    const std::string a_spot = shown("JA2XYZ", "CW 25 WPM", " 14025.3", "1234Z", "JA1ABC");
    const std::string b_spot = shown("JR1FYS", "FT8 LOUD in FL!", " 18100.0", "2156Z", "KD0AA");
    const std::string no_colon_spot = shown("JA2XYZ", "CW 25 WPM", " 14025.3", "1234Z", "");
    const std::string cut_time_spot = shown("JA2XYZ", "CW 25 WPM", " 14025.3", "1234", "");
    struct Row {
        const char* name;
        std::string line, spot;
    } rows[] = {
        {"A", a, a_spot},
        {"A, BEL pair and CR", a + "\a\a\r", a_spot},
        {"B with grid square, 80 bytes + CR", b + " EL98\r", b_spot},
        {"B with grid square and BELs", b + " EL98\a\a\r", b_spot},
        {"C", c + "\r", shown("JA2XYZ", "599 TNX QSO", " 14025.3", "1234Z", "JA1ABC")},
        {"A columns, 74 bytes", no_colon.substr(0, 74), "no spot"},
        {"A columns, 75 bytes: the time runs past the end", no_colon.substr(0, 75) + "\r",
         cut_time_spot},
        {"A columns, 80 bytes", no_colon + " EL9\a", no_colon_spot},
        {"A columns, 81 bytes", no_colon + " EL98\r", "no spot"},
        {"A, ':' in the remarks names no spotter",
         "DX de JA1ABC      14025.3  JA2XYZ       QSX 14:30                      1234Z",
         shown("JA2XYZ", "QSX 14:30", " 14025.3", "1234Z", "")},
        {"B, kanji cut at the 24th byte of the remarks",
         "DX de JH1XYZ:     7005.1  VK9NS        A" + eleven_kanji + kanji + kanji + "   0905Z",
         shown("VK9NS", "A" + eleven_kanji + " ", "  7005.1", "0905Z", "JH1XYZ")},
        {"7-digit kHz eats the padding",
         "DX de JA1ABC:  1296100.0  JA2XYZ       EME                            1234Z", "no spot"},
        {"8-digit kHz", "DX de JA1ABC: 10368100.0  JA2XYZ       EME                  1234Z",
         "no spot"},
        {"skimmer, two decimals",
         "DX de W3LPL-#:    14025.30  K1ABC        CW    24 dB  22 WPM  CQ      1234Z\r",
         shown("K1ABC", "CW    24 dB  22 WPM  CQ", " 14025.3", "1234Z", "W3LPL-#")},
        {"skimmer, kHz below 10000", "DX de JA1ZZ-#:  7007.90  JA2XYZ  CW 12 dB  0001Z 25\r",
         shown("JA2XYZ", "CW 12 dB", "  7007.9", "0001Z", "JA1ZZ-#")},
        {"long spotter cut to 19",
         "DX de JA1ABCDEFGHIJKLMNOPQRST-12: 14025.0 JA2XYZ/P   test   it  1234Z PM95",
         shown("JA2XYZ/P", "test   it", " 14025.0", "1234Z", "JA1ABCDEFGHIJKLMNOP")},
        {"words, kanji cut by the cluster",
         "DX de JA1ABC: 14025.0 JA2XYZ QRV" + kanji + "\x82  1234Z",
         shown("JA2XYZ", "QRV" + kanji, " 14025.0", "1234Z", "JA1ABC")},
        {"words, remarks cut to 24 before a kanji",
         "DX de JA1ABC: 14025.0 JA2XYZ " + std::string(23, 'x') + kanji + " 1234Z",
         shown("JA2XYZ", std::string(23, 'x'), " 14025.0", "1234Z", "JA1ABC")},
        {"words, no remarks, long callsign cut to 11", "DX de JA1ABC: 50110.0 JA2XYZ/MM/ABC 2359Z",
         shown("JA2XYZ/MM/A", "", " 50110.0", "2359Z", "JA1ABC")},
        {"words, frequency too wide", "DX de JA1ABC: 1296100.0 JA2XYZ EME 1234Z", "no spot"},
        {"words, lower-case callsign", "DX de JA1ABC: 14025.0 ja2xyz test 1234Z", "no spot"},
        {"words, callsign without digit", "DX de JA1ABC: 14025.0 JAXYZ test 1234Z", "no spot"},
        {"words, three-digit zone", "DX de JA1ABC: 14025.0 JA2XYZ test 1234Z 123", "no spot"},
        {"words, text after the time", "DX de JA1ABC: 14025.0 JA2XYZ test 1234Z QSL", "no spot"},
        {"words, hour 24", "DX de JA1ABC: 14025.0 JA2XYZ test 2400Z", "no spot"},
        {"C, last '<' after the last '>'",
         " 14025.3  JA2XYZ      05-Mar-2008 1234Z  599 TNX QSO   >JA1ABC<              \r",
         shown("JA2XYZ", "599 TNX QSO   >JA1ABC<", " 14025.3", "1234Z", "")},
        {"C, spotter over 19 cut",
         " 14025.3  JA2XYZ      05-Mar-2008 1234Z  599 TNX  <JA1ABCDEFGHIJKLMNOPQRSTUV>",
         shown("JA2XYZ", "599 TNX  <JA1ABCDEFGHIJK", " 14025.3", "1234Z", "JA1ABCDEFGHIJKLMNOP")},
        {"listing, 9-wide frequency",
         "  14025.3  JA2XYZ       5-Mar-2008 1234Z  599 TNX QSO                  <JA1ABC>\r",
         shown("JA2XYZ", "599 TNX QSO", " 14025.3", "1234Z", "JA1ABC")},
        {"listing, no remarks", "7005.12 JA2XYZ 15-Dec-2024 0000Z <JA1ABC-#>",
         shown("JA2XYZ", "", "  7005.1", "0000Z", "JA1ABC-#")},
        {"listing, spotter with a blank",
         "  14025.3  JA2XYZ       5-Mar-2008 1234Z  599 TNX QSO                  <JA1 ABC>",
         "no spot"},
        {"listing, bad month", "  14025.3  JA2XYZ  5-MAR-2008 1234Z  599 <JA1ABC>", "no spot"},
        {"a BBS line", "   12   1024 ALL    JA1ABC  03/05 09:04 14025.0 report", "no spot"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(read(row.line), row.spot) << row.line;
    }
}

TEST(SpotParser, TakesSolarFiguresFromWwvLines) {
    struct Row {
        const char* line;
        const char* wwv;  // nullptr: not a WWV line
    } rows[] = {
        {"WWV de JA1DX <12>: WWV=12Z SFI=120 A=5 K=1 Quiet\a\a\r", "SFI=120 A=5 K=1 Quiet"},
        {"WWV de VE7CC <18>:   SFI=150, A=8, K=2, No Storms -> No Storms\r",
         "SFI=150, A=8, K=2, No Storms -> No Storms"},
        {"Solar WWV=12Z SFI=99\tA=4", "SFI=99 A=4"},
        {"Solar SFI=150 A=8", nullptr},
        {"WWV de VE7CC <18>:   A=8, K=2", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        const ClusterLine read = read_cluster_line(row.line);
        EXPECT_FALSE(read.spot);
        ASSERT_EQ(read.wwv.has_value(), row.wwv != nullptr);
        if (row.wwv) {
            EXPECT_EQ(read.wwv->view(), row.wwv);
        }
    }
}

}  // namespace
}  // namespace kestrel
