#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace tncsim {

// The TNC's own clock: a wall-clock reading that runs on from when it was last set. It starts
// at the host's local time; it knows no time zone.
class TncClock {
public:
    TncClock();
    // "yymmddhhmmss", as the DAYTIME command takes it; false if it is not a valid time.
    bool set(std::string_view digits);
    // "yy/mm/dd hh:mm:ss"
    std::string show() const;

private:
    std::int64_t base_;  // seconds since 1970 of the reading, counted as if it were UTC
    std::chrono::steady_clock::time_point set_at_;
};

}  // namespace tncsim
