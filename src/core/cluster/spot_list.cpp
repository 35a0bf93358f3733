#include "core/cluster/spot_list.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace kestrel {

namespace {

bool is_white(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Byte order of NUL-terminated texts, unsigned, a prefix first.
bool frequency_before(const Spot& a, const Spot& b) {
    return std::strcmp(a.frequency.c_str(), b.frequency.c_str()) < 0;
}

}  // namespace

std::uint64_t spot_age_seconds(const Spot& spot, std::time_t now) {
    // Unsigned, so that no clock value can overflow the difference.
    const auto a = static_cast<std::uint64_t>(spot.received), b = static_cast<std::uint64_t>(now);
    return spot.received < now ? b - a : a - b;
}

bool same_report(const Spot& a, const Spot& b) {
    return a.received == b.received && a.time == b.time && a.frequency == b.frequency &&
           a.callsign == b.callsign && a.remarks == b.remarks && a.spotter == b.spotter;
}

double frequency_value(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && is_white(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // from_chars would also take "inf" and "nan"; a frequency is digits or a point first.
    const bool number_starts =
        i < text.size() &&
        (is_digit(text[i]) || (text[i] == '.' && i + 1 < text.size() && is_digit(text[i + 1])));
    if (!number_starts) return 0;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + text.size(), value);
    (void)end;
    if (error != std::errc{}) return 0;
    return negative ? -value : value;
}

void SpotList::add(const Spot& spot) {
    const double value = frequency_value(spot.frequency.view());
    for (int slot = 0; slot < count_;) {
        const Spot& held = at(slot);
        if (held.callsign == spot.callsign &&
            std::fabs(frequency_value(held.frequency.view()) - value) < 1.0) {
            erase(slot);
        } else {
            ++slot;
        }
    }
    for (int slot = 0; slot < count_; ++slot) at(slot).newest = 0;
    if (count_ == capacity) {
        int oldest = 0;
        for (int slot = 1; slot < count_; ++slot) {
            if (at(slot).received < at(oldest).received) {
                oldest = slot;
            }
        }
        erase(oldest);
    }
    // The used slots are sorted already, so inserting in place sorts the whole list.
    int to = count_;
    while (to > 0 && frequency_before(spot, at(to - 1))) {
        at(to) = at(to - 1);
        --to;
    }
    Spot& entered = at(to);
    entered = spot;
    entered.newest = 1;
    ++count_;
}

void SpotList::remove(int slot) {
    if (slot >= 0 && slot < count_) erase(slot);
}

bool SpotList::remove_report(const Spot& spot) {
    for (int slot = 0; slot < count_; ++slot) {
        if (same_report(at(slot), spot)) {
            erase(slot);
            return true;
        }
    }
    return false;
}

void SpotList::clear() {
    slots_.fill(Spot{});
    count_ = 0;
}

bool SpotList::age(std::time_t now) {
    bool dropped = false;
    for (int slot = 0; slot < count_;) {
        if (spot_age_seconds(at(slot), now) > max_age_seconds) {
            erase(slot);
            dropped = true;
        } else {
            ++slot;
        }
    }
    return dropped;
}

void SpotList::erase(int slot) {
    for (int i = slot; i + 1 < count_; ++i) {
        at(i) = at(i + 1);
    }
    --count_;
    at(count_) = Spot{};
}

bool in_band(const Spot& spot, int band) {
    if (band < 0 || band >= static_cast<int>(band_table.size())) return false;
    const Band& b = band_table[static_cast<std::size_t>(band)];
    // Compared as doubles: a huge or odd value must not overflow an integer.
    const double khz = std::trunc(frequency_value(spot.frequency.view()));
    return khz >= b.lower && khz <= b.upper;
}

}  // namespace kestrel
