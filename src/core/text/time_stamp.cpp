#include "core/text/time_stamp.h"

#include <algorithm>
#include <cstdio>

namespace kestrel::text {

TimeStamp time_stamp_text(const std::tm& local) {
    TimeStamp stamp;
    int n = std::snprintf(stamp.bytes.data(), stamp.bytes.size(), "[%d-%02d-%02d %02d:%02d:%02d]",
                          local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, local.tm_sec);
    stamp.length = n < 0 ? 0 : std::min<int>(n, static_cast<int>(stamp.bytes.size()) - 1);
    return stamp;
}

}  // namespace kestrel::text
