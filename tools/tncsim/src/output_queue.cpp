#include "output_queue.h"

#include <algorithm>
#include <cmath>

namespace tncsim {
namespace {

// Beyond this the terminal is not reading; hold air traffic back so pacing stays honest.
constexpr std::size_t ready_limit = 64 * 1024;

}  // namespace

std::string with_line_feeds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        out.push_back(c);
        if (c == '\r') out.push_back('\n');
    }
    return out;
}

OutputQueue::OutputQueue(double bytes_per_second)
    : rate_(bytes_per_second), refilled_(Clock::now()) {}

void OutputQueue::append(std::string_view bytes, bool fresh_line, bool cr_only) {
    if (bytes.empty()) return;
    if (fresh_line && !at_line_start_) ready_ += cr_only ? "\r" : "\r\n";
    ready_.append(bytes);
    at_line_start_ = bytes.back() == '\n' || (cr_only && bytes.back() == '\r');
}

void OutputQueue::local(std::string_view text, bool fresh_line) {
    append(with_line_feeds(text), fresh_line);
}

void OutputQueue::air(std::string_view text, bool cr_only) {
    if (text.empty()) return;
    air_.push_back({cr_only ? std::string(text) : with_line_feeds(text), true, true, 0, cr_only});
}

void OutputQueue::air_raw(std::string_view bytes) {
    if (!bytes.empty()) air_.push_back({std::string(bytes), true, false, 0});
}

void OutputQueue::air_event(std::string_view text) {
    air_.push_back({with_line_feeds(text), false, true, 0});
}

void OutputQueue::drop_air() { air_.clear(); }

void OutputQueue::release(Clock::time_point now) {
    if (rate_ > 0) {
        const double elapsed = std::chrono::duration<double>(now - refilled_).count();
        // A small bucket: bursts of about 50 ms of traffic at most.
        tokens_ = std::min(tokens_ + elapsed * rate_, std::max(1.0, rate_ * 0.05));
    }
    refilled_ = now;

    while (!air_.empty() && ready_.size() < ready_limit) {
        Item& item = air_.front();
        std::size_t n = item.bytes.size() - item.sent;
        if (item.paced && rate_ > 0) n = std::min(n, static_cast<std::size_t>(tokens_));
        n = std::min(n, ready_limit);
        if (n == 0) break;
        if (item.paced && rate_ > 0) tokens_ -= static_cast<double>(n);
        append(std::string_view(item.bytes).substr(item.sent, n), item.fresh_line && item.sent == 0,
               item.cr_only);
        item.sent += n;
        if (item.sent == item.bytes.size()) air_.pop_front();
    }
}

std::optional<Clock::time_point> OutputQueue::next_release(Clock::time_point now) const {
    if (air_.empty() || ready_.size() >= ready_limit) return std::nullopt;
    const Item& item = air_.front();
    if (!item.paced || rate_ <= 0 || tokens_ >= 1) return now;
    const double wait = (1.0 - tokens_) / rate_;
    return refilled_ +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(wait));
}

}  // namespace tncsim
