#pragma once
// How often a bell may wake the screen. A station that rings a hundred times in a burst
// should wake the screen once, not queue a hundred requests at the desktop: a bell is let
// through only when the clock's second differs from the one of the last release. The
// second is compared for inequality, not order, so a clock set back does not silence the
// bells until it catches up again.
//
// Any thread may ask; the line store asks under its own lock for every BEL it is given,
// from the receiver and from the UI thread's echo.

#include <atomic>
#include <ctime>

namespace kestrel {

class SaverThrottle {
public:
    // True when a release is due at `now`, which it then counts as the last one.
    bool due(std::time_t now) {
        std::time_t last = last_.load(std::memory_order_relaxed);
        if (last == now) return false;
        // Two threads ringing in the same new second: only the one that moves it releases.
        return last_.compare_exchange_strong(last, now, std::memory_order_relaxed);
    }

private:
    std::atomic<std::time_t> last_{-1};
};

}  // namespace kestrel
