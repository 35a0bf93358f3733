#include "core/link/status_text.h"

#include <cstdio>

#include "core/cluster/spot_board.h"
#include "core/link/port_names.h"
#include "core/text/sjis.h"

namespace kestrel {

std::string status_text(Desktop& desktop, int jst, int port_number, const Capture& capture) {
    static constexpr const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    // The system's own UTC, and Japan Standard Time nine hours ahead of it, whatever time
    // zone the computer runs in.
    const std::time_t now = desktop.now();
    const std::tm t = jst ? jst_time(now) : utc_time(now);
    char clock[64];
    std::snprintf(clock, sizeof clock, "%s %s %02d %02d:%02d:%02d %d\n",
                  days[(t.tm_wday % 7 + 7) % 7], months[(t.tm_mon % 12 + 12) % 12], t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec, t.tm_year + 1900);
    std::string out = "Kestrel  ";
    out += port_name(port_number);
    out += "  ";
    out += clock;
    out += jst ? " (JST)" : " (UTC)";
    if (capture.is_open()) {
        out += text::sjis("  D/L中 ->> ");
        out += capture.file_name();
        out += ' ';
    }
    return out;
}

}  // namespace kestrel
