#include "tnc_clock.h"

#include <cstdio>
#include <ctime>

namespace tncsim {

TncClock::TncClock() : set_at_(std::chrono::steady_clock::now()) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    base_ = timegm(&local);
}

bool TncClock::set(std::string_view digits) {
    if (digits.size() != 12) return false;
    int field[6] = {};
    for (std::size_t i = 0; i < 12; ++i) {
        const char c = digits[i];
        if (c < '0' || c > '9') return false;
        field[i / 2] = field[i / 2] * 10 + (c - '0');
    }
    std::tm t{};
    t.tm_year = 100 + field[0];
    t.tm_mon = field[1] - 1;
    t.tm_mday = field[2];
    t.tm_hour = field[3];
    t.tm_min = field[4];
    t.tm_sec = field[5];
    const std::tm asked = t;
    const std::time_t seconds = timegm(&t);
    // timegm normalises out-of-range fields (13th month, 31 February); such input is refused.
    if (t.tm_year != asked.tm_year || t.tm_mon != asked.tm_mon || t.tm_mday != asked.tm_mday ||
        t.tm_hour != asked.tm_hour || t.tm_min != asked.tm_min || t.tm_sec != asked.tm_sec) {
        return false;
    }
    base_ = seconds;
    set_at_ = std::chrono::steady_clock::now();
    return true;
}

std::string TncClock::show() const {
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::steady_clock::now() - set_at_);
    const std::time_t now = static_cast<std::time_t>(base_ + elapsed.count());
    std::tm t{};
    gmtime_r(&now, &t);
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d:%02d", t.tm_year % 100, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

}  // namespace tncsim
