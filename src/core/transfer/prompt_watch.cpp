#include "core/transfer/prompt_watch.h"

#include <algorithm>

namespace kestrel {

namespace {

constexpr std::uint8_t lf = 10;

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

bool PromptWatch::watch(std::string_view prompt) {
    prompt = trimmed(prompt);
    prompt = prompt.substr(0, max_prompt);
    std::lock_guard lock(prompt_mutex_);
    std::copy(prompt.begin(), prompt.end(), prompt_.begin());
    prompt_length_ = prompt.size();
    tail_next_ = tail_count_ = 0;
    seen_ = interrupted_ = false;
    watching_.store(prompt_length_ > 0, std::memory_order_relaxed);
    return prompt_length_ > 0;
}

void PromptWatch::expect() {
    std::lock_guard lock(prompt_mutex_);
    seen_ = false;
}

PromptWatch::Wait PromptWatch::wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(prompt_mutex_);
    const bool done = prompt_changed_.wait_for(
        lock, timeout, [this] { return seen_ || interrupted_ || prompt_length_ == 0; });
    if (interrupted_) return Wait::interrupted;
    return done ? Wait::prompt : Wait::timed_out;
}

void PromptWatch::interrupt() {
    {
        std::lock_guard lock(prompt_mutex_);
        interrupted_ = true;
    }
    prompt_changed_.notify_all();
}

void PromptWatch::take(std::uint8_t c) {
    std::unique_lock lock(prompt_mutex_);
    if (c == lf) {
        tail_count_ = 0;
        return;
    }
    tail_[tail_next_] = static_cast<char>(c);
    tail_next_ = (tail_next_ + 1) % max_prompt;
    tail_count_ = std::min(tail_count_ + 1, max_prompt);
    if (seen_ || !tail_ends_with_prompt()) return;
    seen_ = true;
    lock.unlock();
    prompt_changed_.notify_all();
}

bool PromptWatch::tail_ends_with_prompt() const {
    if (prompt_length_ == 0 || tail_count_ < prompt_length_) return false;
    for (std::size_t i = 0; i < prompt_length_; ++i) {
        const std::size_t at = (tail_next_ + max_prompt - 1 - i) % max_prompt;
        if (tail_[at] != prompt_[prompt_length_ - 1 - i]) return false;
    }
    return true;
}

}  // namespace kestrel
