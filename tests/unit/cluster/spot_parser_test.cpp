#include "core/cluster/spot_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/cluster/spot_board.h"

namespace kestrel {
namespace {

// The scope line at age 0 of "frequency|callsign|remarks|time|spotter", padded to its columns.
std::string shown(const std::string& fields) {
    std::vector<std::string> f(1);
    for (char c : fields) c == '|' ? void(f.emplace_back()) : f.back().push_back(c);
    f[0].insert(0, 8 - f[0].size(), ' ');
    f[1].resize(11, ' ');
    f[2].resize(24, ' ');
    return f[0] + " [ 0] " + f[3] + " " + f[1] + "  " + f[2] + "<" + f[4] + ">";
}

// Layouts cluster software prints, with the line ends TNCs pass on; "" expects no spot.
TEST(SpotParser, ReadsEveryLayoutOrNothingAndWwvFigures) {
    const std::string kanji = "\x82\xA0", x23(23, 'x');
    const std::string a =
        "DX de JA1ABC:     14025.3  JA2XYZ       CW 25 WPM                      1234Z";
    const std::string b =
        "DX de KD0AA:     18100.0  JR1FYS       FT8 LOUD in FL!                2156Z";
    const std::string c = " 14025.3  JA2XYZ      05-Mar-2008 1234Z  ";
    std::string cols = a;  // only the columns can read it: 76 bytes
    cols[12] = ' ';
    struct Row {
        std::string line, spot, wwv = "";  // wwv: the solar figures of a WWV line
    } rows[] = {
        // The three column layouts, with BEL pairs, a grid square past 80 bytes and CRs.
        {a + "\a\a\r", "14025.3|JA2XYZ|CW 25 WPM|1234Z|JA1ABC"},
        {b + " EL98\a\a\r", "18100.0|JR1FYS|FT8 LOUD in FL!|2156Z|KD0AA"},
        {c + "599 TNX QSO                 <JA1ABC>\r", "14025.3|JA2XYZ|599 TNX QSO|1234Z|JA1ABC"},
        // Without the ":" only the columns read A: 75 to 80 bytes.
        {cols.substr(0, 74), ""},
        {cols.substr(0, 75) + "\r", "14025.3|JA2XYZ|CW 25 WPM|1234|"},
        {cols + " EL9\a", "14025.3|JA2XYZ|CW 25 WPM|1234Z|"},
        {cols + " EL98\r", ""},
        // A ":" in the remarks names no spotter.
        {"DX de JA1ABC      14025.3  JA2XYZ       QSX 14:30                      1234Z",
         "14025.3|JA2XYZ|QSX 14:30|1234Z|"},
        // B, 75 bytes: a kanji cut at the 24th byte of the remarks column.
        {"DX de JH1XYZ:     7005.1  VK9NS        " + x23 + kanji + kanji + "    0905Z",
         "7005.1|VK9NS|" + x23 + "|0905Z|JH1XYZ"},
        // A 7-digit kHz eats the padding and fits neither columns nor words.
        {"DX de JA1ABC:  1296100.0  JA2XYZ       EME                            1234Z", ""},
        // Skimmers: two decimals, a zone after the time.
        {"DX de W3LPL-#:    14025.30  K1ABC        CW    24 dB  22 WPM  CQ      1234Z\r",
         "14025.3|K1ABC|CW    24 dB  22 WPM  CQ|1234Z|W3LPL-#"},
        {"DX de JA1ZZ-#:  7007.90  JA2XYZ  CW 12 dB  0001Z 25\r",
         "7007.9|JA2XYZ|CW 12 dB|0001Z|JA1ZZ-#"},
        // By words: spotter cut to 19, remarks and callsign to their columns, kanji whole.
        {"DX de JA1ABCDEFGHIJKLMNOPQRST-12: 14025.0 JA2XYZ/P   test   it  1234Z PM95",
         "14025.0|JA2XYZ/P|test   it|1234Z|JA1ABCDEFGHIJKLMNOP"},
        {"DX de JA1ABC: 14025.0 JA2XYZ QRV" + kanji + "\x82  1234Z",
         "14025.0|JA2XYZ|QRV" + kanji + "|1234Z|JA1ABC"},
        {"DX de JA1ABC: 14025.0 JA2XYZ " + x23 + kanji + " 1234Z",
         "14025.0|JA2XYZ|" + x23 + "|1234Z|JA1ABC"},
        {"DX de JA1ABC: 50110.0 JA2XYZ/MM/ABC 2359Z", "50110.0|JA2XYZ/MM/A||2359Z|JA1ABC"},
        // Doubtful words: no spot.
        {"DX de JA1ABC: 14025.0 ja2xyz test 1234Z", ""},
        {"DX de JA1ABC: 14025.0 JA2XYZ test 1234Z 123", ""},
        {"DX de JA1ABC: 14025.0 JA2XYZ test 2400Z", ""},
        // C: the spotter between the last "<" and the last ">", at most 19 bytes.
        {c + "599 TNX QSO   >JA1ABC<              \r",
         "14025.3|JA2XYZ|599 TNX QSO   >JA1ABC<|1234Z|"},
        {c + "599 TNX  <JA1ABCDEFGHIJKLMNOPQRSTUV>",
         "14025.3|JA2XYZ|599 TNX  <JA1ABCDEFGHIJK|1234Z|JA1ABCDEFGHIJKLMNOP"},
        // Listings in other spacing.
        {"  14025.3  JA2XYZ       5-Mar-2008 1234Z  599 TNX QSO                  <JA1ABC>\r",
         "14025.3|JA2XYZ|599 TNX QSO|1234Z|JA1ABC"},
        {"7005.12 JA2XYZ 15-Dec-2024 0000Z <JA1ABC-#>", "7005.1|JA2XYZ||0000Z|JA1ABC-#"},
        {"  14025.3  JA2XYZ       5-Mar-2008 1234Z  599 TNX QSO                  <JA1 ABC>", ""},
        {"   12   1024 ALL    JA1ABC  03/05 09:04 14025.0 report", ""},
        // WWV lines: from "SFI=" to the line's end, when the line holds "WWV=" or starts
        // "WWV de ".
        {"WWV de JA1DX <12>: WWV=12Z SFI=120 A=5 K=1 Quiet\a\a\r", "", "SFI=120 A=5 K=1 Quiet"},
        {"WWV de VE7CC <18>:   SFI=150, A=8, K=2, No Storms\r", "", "SFI=150, A=8, K=2, No Storms"},
        {"Solar WWV=12Z SFI=99\tA=4", "", "SFI=99 A=4"},
        {"Solar SFI=150 A=8", ""},
        {"WWV de VE7CC <18>:   A=8, K=2", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const ClusterLine read = read_cluster_line(row.line);
        EXPECT_EQ(read.spot ? shown_line_text(*read.spot, 0) : "",
                  row.spot.empty() ? "" : shown(row.spot));
        EXPECT_EQ(read.wwv ? read.wwv->view() : "", row.wwv);
    }
}

}  // namespace
}  // namespace kestrel
