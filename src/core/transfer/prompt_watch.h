#pragma once
// The prompt watch of a prompt-paced upload: many bulletin boards lose characters when a
// line arrives before they are ready to read it, and show that they are ready by sending
// their prompt at the end of a line, without a line end. With the RBBS record's prompt
// text set, the upload sends a line and then waits here until the prompt has arrived.
//
// Threads:
// - The receiver thread calls `feed` with every received byte, right after the line
//   processing and before the screen and the capture see it. While nothing is watched
//   that is one relaxed atomic load; while an upload watches it is a short critical
//   section with no allocation.
// - The upload worker calls `watch` (start and end of an upload), `expect` (before each
//   line goes out) and `wait` (before the next line).
// - The UI thread calls `interrupt` when it aborts or stops the upload: a waiting worker
//   returns at once, and so does every later wait until the next `watch`.
//
// Matching: the prompt counts when a received byte completes it at the end of the bytes
// received since the last LF (so a CR inside the line, as CR-only boards send, is just
// another byte). Only a prompt completed after `expect` counts, so the prompt that stood
// on the screen before a line went out does not let the next one follow at once. Blanks
// around the prompt text are not part of it: the settings file cannot keep them, and a
// board's "JA1BBS> " is matched by its ">".
//
// Locks: `prompt_mutex_` guards the prompt text, the received tail and the flags; the
// waiter sleeps on `prompt_changed_` with it, so a prompt, a time-out or an interrupt is
// noticed without polling.

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string_view>

namespace kestrel {

class PromptWatch {
public:
    // The longest prompt an RBBS record holds.
    static constexpr std::size_t max_prompt = 80;

    enum class Wait { prompt, timed_out, interrupted };

    // Watches for `prompt` (blanks around it dropped, cut to `max_prompt` bytes) from now
    // on, forgetting what was received before; an empty prompt ends the watching. Clears a
    // pending interrupt. True when a prompt is watched for.
    bool watch(std::string_view prompt);
    // Only a prompt completed from now on ends the next wait.
    void expect();
    // Waits until the prompt has been completed since `expect`, `timeout` has passed, or
    // `interrupt` was called. With nothing watched it returns `prompt` at once.
    Wait wait(std::chrono::milliseconds timeout);
    void interrupt();

    // Receiver thread: one received byte.
    void feed(std::uint8_t c) {
        if (watching_.load(std::memory_order_relaxed)) take(c);
    }

private:
    void take(std::uint8_t c);
    bool tail_ends_with_prompt() const;

    std::atomic<bool> watching_{false};

    std::mutex prompt_mutex_;  // guards everything below
    std::condition_variable prompt_changed_;
    std::array<char, max_prompt> prompt_{};
    std::size_t prompt_length_ = 0;
    // The last bytes received since the last LF, a ring: `tail_next_` is where the next
    // byte goes, `tail_count_` how many of the ring's bytes belong to the line.
    std::array<char, max_prompt> tail_{};
    std::size_t tail_next_ = 0;
    std::size_t tail_count_ = 0;
    bool seen_ = false;
    bool interrupted_ = false;
};

}  // namespace kestrel
