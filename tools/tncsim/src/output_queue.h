#pragma once
// Everything on its way to the terminal. The TNC's own output (echo, prompts, answers to
// commands) is ready at once; what the stations send comes "over the air": it is held in order,
// paced at the link rate, and link events (connected, disconnected) wait behind it.

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace tncsim {

using Clock = std::chrono::steady_clock;

class OutputQueue {
public:
    // bytes_per_second 0 sends station traffic as fast as the terminal takes it.
    explicit OutputQueue(double bytes_per_second);

    // Texts use CR as line end; the TNC sends CR LF. fresh_line starts the text on a new line
    // unless the output already stands at the start of one.
    void local(std::string_view text, bool fresh_line = false);
    // Station lines; they start on a fresh line even if a prompt stands before them. A
    // station with `cr_only` line ends has its CRs passed on alone, and CR starts its fresh
    // line.
    void air(std::string_view text, bool cr_only = false);
    void air_raw(std::string_view bytes);   // sent unchanged
    void air_event(std::string_view text);  // on a fresh line, unpaced, after the traffic before it
    void drop_air();

    // Moves air traffic to the ready bytes as the pacing allows.
    void release(Clock::time_point now);
    // When release() has something to do; nothing while the ready bytes are piled up.
    std::optional<Clock::time_point> next_release(Clock::time_point now) const;

    std::string_view ready() const { return ready_; }
    void consume(std::size_t n) { ready_.erase(0, n); }

private:
    struct Item {
        std::string bytes;
        bool paced = true;
        bool fresh_line = false;
        std::size_t sent = 0;
        bool cr_only = false;
    };
    void append(std::string_view bytes, bool fresh_line, bool cr_only = false);

    std::deque<Item> air_;
    std::string ready_;
    bool at_line_start_ = true;
    double rate_;
    double tokens_ = 0;
    Clock::time_point refilled_;
};

// CR becomes CR LF, as a TNC with AUTOLF sends lines.
std::string with_line_feeds(std::string_view text);

}  // namespace tncsim
