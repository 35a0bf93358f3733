#include "shell/status_text.h"

#include <cstdio>

#include "text/sjis.h"

std::string status_text(const std::tm& local, bool jst, std::string_view port_name,
                        std::string_view capture_name) {
    static constexpr const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char clock[64];
    std::snprintf(clock, sizeof clock, "%s %s %02d %02d:%02d:%02d %d\n",
                  days[(local.tm_wday % 7 + 7) % 7], months[(local.tm_mon % 12 + 12) % 12],
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, local.tm_year + 1900);
    std::string text = "Kestrel  ";
    text.append(port_name);
    text.append("  ");
    text.append(clock);
    text.append(jst ? " (JST)" : " (UTC)");
    if (!capture_name.empty()) {
        text.append(kestrel::text::sjis("  D/L中 ->> "));
        text.append(capture_name);
        text.append(" ");
    }
    return text;
}
