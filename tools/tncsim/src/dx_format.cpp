#include "dx_format.h"

#include <cstdio>

namespace tncsim {
namespace {

// Left-aligned in exactly width columns: cut or padded with spaces.
std::string field(const std::string& text, std::size_t width) {
    std::string out = text.substr(0, width);
    out.resize(width, ' ');
    return out;
}

std::tm utc(std::time_t t) {
    std::tm tm{};
    gmtime_r(&t, &tm);
    return tm;
}

std::string time_text(std::time_t t) {
    const std::tm tm = utc(t);
    char text[8];
    std::snprintf(text, sizeof text, "%02d%02dZ", tm.tm_hour, tm.tm_min);
    return text;
}

std::string date_text(std::time_t t) {
    static constexpr const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::tm tm = utc(t);
    char text[16];
    std::snprintf(text, sizeof text, "%02d-%s-%04d", tm.tm_mday, months[tm.tm_mon],
                  tm.tm_year + 1900);
    return text;
}

}  // namespace

std::string frequency_text(int tenths_khz) {
    char text[16];
    std::snprintf(text, sizeof text, "%6d.%d", tenths_khz / 10, tenths_khz % 10);
    return text;
}

std::string announcement_line(const Spot& spot, DxLayout layout, bool grid) {
    std::string line;
    if (layout == DxLayout::skimmer) {
        char khz[16];
        std::snprintf(khz, sizeof khz, "%9.2f", spot.tenths_khz / 10.0);
        line = "DX de " + spot.spotter + "-#: " + khz + "  " + field(spot.dx, 12) + " " +
               field(spot.comment, 24) + " " + time_text(spot.time);
    } else {
        const bool wide = layout == DxLayout::wide;
        line = "DX de " + field(spot.spotter + ":", wide ? 11 : 10);
        line += frequency_text(spot.tenths_khz) + "  ";
        line += wide ? field(spot.dx, 11) + "  " : field(spot.dx.substr(0, 11), 12) + " ";
        line += field(spot.comment, 30) + " " + time_text(spot.time);
    }
    if (grid && !spot.grid.empty()) line += " " + spot.grid;
    return line;
}

std::string listing_line(const Spot& spot) {
    // The comment column stretches so that every line has the same length.
    const std::string spotter = "<" + spot.spotter.substr(0, 10) + ">";
    const std::size_t comment_width = spotter.size() < 12 ? 36 - spotter.size() : 24;
    return frequency_text(spot.tenths_khz) + "  " + field(spot.dx.substr(0, 11), 12) +
           date_text(spot.time) + " " + time_text(spot.time) + "  " +
           field(spot.comment, comment_width) + spotter;
}

std::string wwv_line(const Wwv& wwv, const std::string& node) {
    const std::tm tm = utc(wwv.time);
    char text[160];
    std::snprintf(text, sizeof text, "WWV de %s <%02d>: WWV=%02dZ SFI=%d A=%d K=%d %s",
                  node.c_str(), tm.tm_hour, tm.tm_hour, wwv.sfi, wwv.a, wwv.k,
                  wwv.forecast.c_str());
    return text;
}

}  // namespace tncsim
