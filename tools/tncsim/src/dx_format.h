#pragma once
// The fixed-column line forms of a DX cluster. Columns count from 0; a frequency is kHz with one
// decimal, right-aligned in 8 columns, so 4-, 5- and 6-digit frequencies share their columns.

#include <ctime>
#include <string>
#include <vector>

namespace tncsim {

struct Spot {
    int tenths_khz = 0;  // 14025.3 kHz is 140253
    std::string dx;
    std::string comment;
    std::string spotter;
    std::time_t time = 0;
    std::string grid;  // the spotter's 4-character locator, shown after the time when asked
};

struct Wwv {
    int sfi = 0;
    int a = 0;
    int k = 0;
    std::string forecast;
    std::time_t time = 0;
};

enum class DxLayout {
    // "DX de " spotter+":" in 11, frequency 17-24, DX call 27 (11), comment 40 (30),
    // time "hhmmZ" 71-75: 76 characters.
    wide,
    // "DX de " spotter+":" in 10, frequency 16-23, DX call 26 (12), comment 39 (30),
    // time 70-74: 75 characters.
    narrow,
    // A skimmer's: "DX de " spotter+"-#: ", frequency with two decimals right-aligned in 9,
    // DX call, comment and time in words that follow no fixed column.
    skimmer,
};

// How a cluster announces spots: the layouts in turn (never empty), and whether a spot's line
// ends in the spotter's grid square.
struct AnnounceStyle {
    std::vector<DxLayout> layouts = {DxLayout::wide, DxLayout::narrow};
    bool grid = false;
};

// Frequencies of 1000000.0 kHz and more do not fit the columns.
constexpr int max_tenths_khz = 9999999;

std::string frequency_text(int tenths_khz);
// With `grid`, a spot that has a grid square ends in " " + grid (80 characters in the narrow
// layout, as DX cluster nodes announce it; 81 in the wide one).
std::string announcement_line(const Spot& spot, DxLayout layout, bool grid = false);
// A line of a spot listing: frequency 0-7, DX call 10 (12), "dd-Mon-yyyy" 22-32,
// "hhmmZ" 34-38, comment from 41, "<spotter>" at the end: 77 characters.
std::string listing_line(const Spot& spot);
// "WWV de NODE <hh>: WWV=hhZ SFI=nnn A=n K=n forecast"
std::string wwv_line(const Wwv& wwv, const std::string& node);

}  // namespace tncsim
