#pragma once
// A DX cluster node: DX and WWV announcements while linked, spot and WWV listings, spots from
// the operator, and TALK to other stations, who answer by repeating what they got.

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "dx_format.h"
#include "spot_source.h"
#include "station.h"

namespace tncsim {

class Cluster final : public Station {
public:
    // interval 0 makes no announcements.
    Cluster(std::string callsign, std::uint64_t seed, std::chrono::duration<double> interval,
            AnnounceStyle style = {});

    const std::string& callsign() const override { return callsign_; }
    std::string connect(const std::string& caller) override;
    Reply line(std::string_view text) override;
    void hang_up() override { linked_ = false; }

    std::optional<std::chrono::steady_clock::time_point> next_announcement() const override;
    std::string announce() override;

private:
    std::string prompt() const;
    std::string show_dx(std::string_view args) const;
    std::string show_wwv(std::string_view args) const;
    std::string spot(std::string_view args);
    std::string talk(std::string_view args) const;
    void remember(const Spot& spot);

    std::string callsign_;
    std::string caller_;
    SpotSource source_;
    bool grid_;
    std::chrono::steady_clock::duration interval_;
    bool linked_ = false;
    std::chrono::steady_clock::time_point next_;
    unsigned announcements_ = 0;
    std::deque<Spot> spots_;  // oldest first
    std::deque<std::string> wwv_lines_;
};

}  // namespace tncsim
