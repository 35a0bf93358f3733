#include "core/cluster/spot_board.h"

#include <algorithm>
#include <cstdio>

#include "core/text/sjis.h"

namespace kestrel {

bool SpotBoard::parse_spot_line(std::string_view line, std::time_t now) {
    return take_cluster_line(read_cluster_line(line), now);
}

bool SpotBoard::take_cluster_line(ClusterLine read, std::time_t now) {
    if (read.spot) {
        read.spot->received = now;
        add_spot(*read.spot);
    }
    if (read.wwv) {
        std::lock_guard lock(spot_list_mutex_);
        wwv_ = *read.wwv;
    }
    return read.spot || read.wwv;
}

void SpotBoard::add_spot(const Spot& spot) {
    std::lock_guard lock(spot_list_mutex_);
    list_.add(spot);
}

void SpotBoard::remove_spot(int slot) {
    std::lock_guard lock(spot_list_mutex_);
    list_.remove(slot);
}

bool SpotBoard::remove_shown_spot(const ShownLine& line) {
    std::lock_guard lock(spot_list_mutex_);
    return list_.remove_report(line.spot);
}

void SpotBoard::clear_spots() {
    std::lock_guard lock(spot_list_mutex_);
    list_.clear();
}

bool SpotBoard::age_spots(std::time_t now) {
    std::lock_guard lock(spot_list_mutex_);
    return list_.age(now);
}

ShownLines SpotBoard::shown_lines(std::time_t now, const ScopeFilter& filter) const {
    const int limit = std::clamp(filter.age_limit, 1, 60);
    ShownLines shown;
    std::lock_guard lock(spot_list_mutex_);
    shown.lines.reserve(static_cast<std::size_t>(list_.count()));
    for (int slot = 0; slot < list_.count(); ++slot) {
        const Spot& spot = list_[slot];
        const std::uint64_t minutes = spot_age_seconds(spot, now) / 60;
        if (minutes > static_cast<std::uint64_t>(limit) || !in_band(spot, filter.band)) continue;
        if (spot.newest) shown.newest = static_cast<int>(shown.lines.size());
        shown.lines.push_back({slot, spot, shown_line_text(spot, static_cast<int>(minutes))});
    }
    return shown;
}

std::string SpotBoard::scope_title(std::time_t now) const {
    const std::tm utc = utc_time(now);
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d%02dZ ", utc.tm_hour, utc.tm_min);
    std::lock_guard lock(spot_list_mutex_);
    return "PcScope " + std::string(clock) + std::string(wwv_.view());
}

std::string SpotBoard::wwv_text() const {
    std::lock_guard lock(spot_list_mutex_);
    return std::string(wwv_.view());
}

SpotList SpotBoard::snapshot() const {
    std::lock_guard lock(spot_list_mutex_);
    return list_;
}

std::string shown_line_text(const Spot& spot, int age_minutes) {
    char line[256];
    const int n = std::snprintf(line, sizeof line, "%s [%2d] %s %s  %s<%s>", spot.frequency.c_str(),
                                age_minutes, spot.time.c_str(), spot.callsign.c_str(),
                                spot.remarks.c_str(), spot.spotter.c_str());
    return std::string(line, static_cast<std::size_t>(std::clamp(n, 0, int{sizeof line} - 1)));
}

Spot hand_entered_spot(std::string_view mhz, std::string_view khz, std::string_view hundred_hz,
                       std::string_view callsign, std::string_view remarks, std::time_t now) {
    mhz = mhz.substr(0, 3);
    std::string frequency(mhz.empty() ? 0 : 3 - mhz.size(), ' ');
    frequency.append(mhz).append(khz.substr(0, 3)).append(".").append(hundred_hz.substr(0, 1));
    Spot spot;
    spot.frequency.assign(frequency);
    spot.callsign.assign(callsign.substr(0, 11));
    // At most 27 bytes, never half of a kanji typed at the limit.
    remarks = remarks.substr(0, 27);
    std::size_t kept = 0;
    while (kept < remarks.size()) {
        const std::size_t width = text::is_lead_byte(remarks[kept]) ? 2 : 1;
        if (kept + width > remarks.size()) break;
        kept += width;
    }
    spot.remarks.assign(remarks.substr(0, kept));
    spot.received = now;
    const std::tm utc = utc_time(now);
    char time[16];
    std::snprintf(time, sizeof time, "%02d%02dZ", utc.tm_hour, utc.tm_min);
    spot.time.assign(time);
    return spot;
}

std::tm utc_time(std::time_t now) {
    std::tm tm{};
    gmtime_r(&now, &tm);
    return tm;
}

std::tm jst_time(std::time_t now) { return utc_time(now + 9 * 3600); }

}  // namespace kestrel
