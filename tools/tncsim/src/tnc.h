#pragma once
// The TNC's command interpreter and link layer: command mode with its "cmd:" prompt, converse
// mode, and one link at a time to one of the simulated stations.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "output_queue.h"
#include "station.h"
#include "tnc_clock.h"

namespace tncsim {

class Tnc {
public:
    Tnc(std::string mycall, bool echo, std::vector<Station*> stations, OutputQueue& out);

    // The start-up banner and the first prompt.
    void power_on();
    // Bytes the terminal sent.
    void receive(std::string_view bytes);
    // Lets the linked station speak unprompted.
    void tick(Clock::time_point now);
    std::optional<Clock::time_point> next_tick() const;

private:
    enum class Mode { command, converse };

    void take(char c);
    void run_command(std::string_view line);
    void converse_line(const std::string& line);
    void connect(std::string_view args);
    void disconnect();
    void end_link(std::string_view station_text);
    void prompt();
    void answer(std::string_view text);

    std::string mycall_;
    std::string unproto_ = "CQ";
    bool echo_;
    std::vector<Station*> stations_;
    OutputQueue& out_;
    TncClock clock_;
    Mode mode_ = Mode::command;
    Station* peer_ = nullptr;
    std::string line_;
};

}  // namespace tncsim
