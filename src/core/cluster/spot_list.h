#pragma once
// The PC scope's spot table: one `Spot` per DX report, at most 100, kept sorted by frequency,
// and the band table the scope filters by.
//
// Principle of operation: `SpotList` is a plain fixed table (no lock, no allocation) with the
// operations add / remove / clear / age. It is not shared directly: `SpotBoard`
// (core/cluster/spot_board.h) owns the one list of the program together with its lock, and
// every thread goes through the board. Tests and the board's snapshot use `SpotList` alone.
//
// Invariants after every operation: count() <= 100; slots 0..count()-1 are sorted ascending
// by frequency text (byte order, which is frequency order for right-aligned texts); at most
// one used slot has `newest` set; every slot from count() on is all zero.

#include <array>
#include <cstdint>
#include <ctime>
#include <span>
#include <string_view>

#include "core/text/fixed_text.h"

namespace kestrel {

struct Spot {
    std::int32_t newest = 0;        // 1 on the spot added last
    std::time_t received = 0;       // when it entered the list (seconds of the system clock)
    text::FixedText<6> time;        // "hhmmZ" as in the line
    text::FixedText<20> frequency;  // kHz, one decimal, right-aligned in 8 columns
    text::FixedText<20> callsign;   // 11 columns as in the line, trailing blanks included
    text::FixedText<60> remarks;    // 24 columns as in the line (27 when entered by hand)
    text::FixedText<20> spotter;    // the reporting station, at most 19 bytes; may be empty
};

// |received - now| in seconds: a spot from the future (the clock was set back) ages too.
std::uint64_t spot_age_seconds(const Spot& spot, std::time_t now);

// Every field equal except `newest`: the same report.
bool same_report(const Spot& a, const Spot& b);

// The numeric value of a frequency text: leading white space skipped, then the longest
// leading decimal number (sign, digits, point, fraction, exponent); 0 when there is none.
// Independent of the process's locale.
double frequency_value(std::string_view text);

class SpotList {
public:
    static constexpr int capacity = 100;
    // A spot older (or, after the clock was set back, younger) than this is dropped by age().
    static constexpr int max_age_seconds = 3600;

    int count() const { return count_; }
    std::span<const Spot> spots() const {
        return {slots_.data(), static_cast<std::size_t>(count_)};
    }
    const Spot& operator[](int slot) const { return slots_[static_cast<std::size_t>(slot)]; }

    // add_spot: drops every held spot of the same callsign (byte for byte) less than 1.0 kHz
    // away, makes room when full by dropping the oldest spot (smallest reception time, the
    // first in list order among equals), and inserts `spot` as the only newest one, after
    // any spots with an equal frequency text.
    void add(const Spot& spot);
    // remove_spot: a slot outside 0..count()-1 (an empty list included) changes nothing.
    void remove(int slot);
    // The first spot that is the same report as `spot`; false when there is none.
    bool remove_report(const Spot& spot);
    void clear();
    // age_spots: drops every spot whose reception time is more than max_age_seconds away
    // from `now`, in either direction. True when any was dropped.
    bool age(std::time_t now);

private:
    void erase(int slot);
    Spot& at(int slot) { return slots_[static_cast<std::size_t>(slot)]; }

    std::array<Spot, capacity> slots_{};
    int count_ = 0;
};

// The band selector's rows. Names are CP932; bounds in kHz, both inclusive.
struct Band {
    std::string_view name;
    std::int32_t lower;
    std::int32_t upper;
};
inline constexpr std::array<Band, 12> band_table = {{
    {"ALL", 0, 10000000},
    {"1.8/1.9MHz", 1000, 2000},
    {"3.5/3.8MHz", 3500, 4000},
    {"7MHz", 7000, 8000},
    {"10MHz", 10000, 11000},
    {"14MHz", 14000, 15000},
    {"18MHz", 18000, 19000},
    {"21MHz", 21000, 22000},
    {"24MHz", 24000, 25000},
    {"28MHz", 28000, 30000},
    {"50MHz", 50000, 54000},
    {"144MHz\x88\xC8\x8F\xE3", 144000, 10000000},  // "144MHz以上"
}};

// The band test: the frequency's value, truncated toward zero, within the band's bounds.
// An index outside the table passes nothing.
bool in_band(const Spot& spot, int band);

}  // namespace kestrel
