#include "cluster.h"

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "words.h"

namespace tncsim {
namespace {

constexpr std::size_t kept_spots = 100;
constexpr std::size_t kept_wwv = 10;
constexpr int listed_by_default = 10;

// "SH/DX 5" lists 5; anything unreadable lists the default.
std::size_t count_of(std::string_view args, std::size_t available) {
    const int n = std::atoi(std::string(args).c_str());
    const std::size_t wanted = n > 0 ? static_cast<std::size_t>(n) : listed_by_default;
    return std::min(wanted, available);
}

}  // namespace

Cluster::Cluster(std::string callsign, std::uint64_t seed, std::chrono::duration<double> interval,
                 AnnounceStyle style)
    : callsign_(std::move(callsign)),
      source_(seed, std::move(style.layouts)),
      grid_(style.grid),
      interval_(std::chrono::duration_cast<std::chrono::steady_clock::duration>(interval)) {
    // A history, so that the listings have something to show from the start.
    const std::time_t now = std::time(nullptr);
    for (int i = 20; i >= 1; --i) remember(source_.next_spot(now - i * 240));
    for (int i = 3; i >= 1; --i) {
        wwv_lines_.push_back(wwv_line(source_.next_wwv(now - i * 10800), callsign_));
    }
}

std::string Cluster::prompt() const { return caller_ + " de " + callsign_ + " >\r"; }

std::string Cluster::connect(const std::string& caller) {
    caller_ = caller;
    linked_ = true;
    next_ = std::chrono::steady_clock::now() + interval_;
    return "Hello " + caller + ", this is " + callsign_ + " DX cluster.\r" +
           "Commands: SH/DX [n], SH/WWV [n], DX freq call [text], TALK call text, BYE\r" + prompt();
}

Reply Cluster::line(std::string_view text) {
    std::string_view args = text;
    const std::string word = upper(first_word(args));
    if (word.empty()) return {prompt()};
    if (word == "BYE" || word == "B" || word == "Q" || word == "QUIT") {
        linked_ = false;
        return {"73 de " + callsign_ + "\r", true};
    }
    if (word == "SH/DX" || word == "SHOW/DX") return {show_dx(args) + prompt()};
    if (word == "SH/WWV" || word == "SHOW/WWV") return {show_wwv(args) + prompt()};
    if (word == "DX") return {spot(args) + prompt()};
    if (word == "TALK" || word == "T") return {talk(args) + prompt()};
    if (word == "HELP" || word == "H" || word == "?") {
        return {"SH/DX [n]  SH/WWV [n]  DX freq call [text]  TALK call text  BYE\r" + prompt()};
    }
    return {"Sorry " + caller_ + ", " + word + " is not a command\r" + prompt()};
}

std::string Cluster::show_dx(std::string_view args) const {
    std::string text;
    const std::size_t n = count_of(args, spots_.size());
    for (std::size_t i = 0; i < n; ++i) text += listing_line(spots_[spots_.size() - 1 - i]) + "\r";
    return text;
}

std::string Cluster::show_wwv(std::string_view args) const {
    std::string text;
    const std::size_t n = count_of(args, wwv_lines_.size());
    for (std::size_t i = 0; i < n; ++i) text += wwv_lines_[wwv_lines_.size() - 1 - i] + "\r";
    return text;
}

std::string Cluster::spot(std::string_view args) {
    const std::string freq(first_word(args));
    const std::string dx = upper(first_word(args));
    char* end = nullptr;
    const double khz = std::strtod(freq.c_str(), &end);
    const long tenths = std::lround(khz * 10);
    if (freq.empty() || *end != '\0' || dx.empty() || tenths < 1 || tenths > max_tenths_khz) {
        return "Usage: DX freq call [text], freq in kHz below 1000000\r";
    }
    Spot s;
    s.tenths_khz = static_cast<int>(tenths);
    s.dx = dx;
    s.comment = std::string(args);
    s.spotter = caller_;
    s.time = std::time(nullptr);
    remember(s);
    return announcement_line(s, DxLayout::wide) + "\r";
}

std::string Cluster::talk(std::string_view args) const {
    const std::string to = upper(first_word(args));
    if (to.empty() || args.empty()) return "Usage: TALK call text\r";
    // The other station repeats the text unchanged, coded text included.
    return caller_ + " de " + to + ": " + std::string(args) + "\r";
}

void Cluster::remember(const Spot& s) {
    spots_.push_back(s);
    if (spots_.size() > kept_spots) spots_.pop_front();
}

std::optional<std::chrono::steady_clock::time_point> Cluster::next_announcement() const {
    if (!linked_ || interval_ <= std::chrono::steady_clock::duration::zero()) return std::nullopt;
    return next_;
}

std::string Cluster::announce() {
    next_ = std::max(next_ + interval_, std::chrono::steady_clock::now());
    const std::time_t now = std::time(nullptr);
    if (++announcements_ % 5 == 0) {
        wwv_lines_.push_back(wwv_line(source_.next_wwv(now), callsign_));
        if (wwv_lines_.size() > kept_wwv) wwv_lines_.pop_front();
        return wwv_lines_.back() + "\r";
    }
    const Spot s = source_.next_spot(now);
    remember(s);
    return announcement_line(s, source_.next_layout(), grid_) + "\r";
}

}  // namespace tncsim
