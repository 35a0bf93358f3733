#pragma once
// Received-line processing: the bytes since the last LF, the hand-off of finished lines
// to their consumers, and the date-named download's start and end checks.

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <string_view>

#include "core/settings/settings.h"
#include "core/transfer/capture.h"

namespace kestrel {

// rx_line: 258 bytes, the last two never written, so the text is always terminated. A line
// longer than 255 bytes keeps its first 255; every further byte lands on position 255.
struct RxLine {
    static constexpr int size = 258;
    static constexpr int last = 255;

    std::array<char, size> bytes{};
    int length = 0;

    void store(std::uint8_t c) {
        bytes[length] = static_cast<char>(c);
        if (++length > last) length = last;
    }
    void clear() {
        bytes.fill(0);
        length = 0;
    }
    // Up to the first NUL, as the checks and the consumers see it.
    std::string_view text() const;
    // text() == s, without measuring the text.
    bool equals(std::string_view s) const {
        return s.size() < size && bytes[s.size()] == 0 &&
               std::memcmp(bytes.data(), s.data(), s.size()) == 0;
    }
};

// A consumer of finished lines (the line still ends with CR when the TNC sent CR LF).
using LineConsumer = std::function<void(std::string_view line)>;

// The RBBS table as the receiver shares it with the UI thread. The UI thread holds
// `records_mutex` while it changes `Settings::rbbs` or `Settings::dl_dir`; the receiver
// takes it once per read to copy what the checks need. `current` is the current RBBS
// record (0..23), for the BBS work and the GUI as well.
struct RbbsShare {
    std::mutex records_mutex;
    std::atomic<int> current{0};
};

class LineProcessor {
public:
    LineProcessor(Capture& capture, const Settings& settings, RbbsShare& rbbs);

    // Called by the receiver before each read's bytes: takes the current record's
    // download strings and the D/L directory.
    void begin_read();
    // accumulate_byte: one received byte, before the screen and the capture see it. Inline,
    // as the receiver calls it for every byte; only a start or end string in use makes a
    // byte worth checking against them.
    void accumulate_byte(std::uint8_t c) {
        if (c == '\n') {
            line_complete();
            return;
        }
        rx_line_.store(c);
        if (triggers_.start_on || triggers_.end_on) check_download();
    }

    // The PC scope parser and the TALK intake. Each is called on the receiver thread, only
    // while set; once a setter returns, the previous consumer is not running and will not
    // be called again. A consumer must not wait for the UI thread.
    void set_scope_consumer(LineConsumer consumer);
    void set_talk_consumer(LineConsumer consumer);

    // Called on the receiver thread right before the processor acts on a byte (hands a
    // line to a consumer, opens, writes or ends a capture), so the receiver can first
    // pass the earlier bytes of its read to the screen and the capture.
    void set_before_action(std::function<void()> hook) { before_action_ = std::move(hook); }

    // For tests and diagnostics; receiver thread (or no receiver running).
    const RxLine& rx_line() const { return rx_line_; }

private:
    struct Triggers {
        text::FixedText<81> start, end, extension;
        text::FixedText<255> dl_dir;
        bool start_on = false, end_on = false;
    };

    void line_complete();
    void check_download();

    Capture& capture_;
    const Settings& settings_;
    RbbsShare& rbbs_;
    void before_action() {
        if (before_action_) before_action_();
    }

    Triggers triggers_;
    std::function<void()> before_action_;
    RxLine rx_line_;

    std::mutex consumers_mutex_;  // guards the two consumers against their setters
    LineConsumer scope_consumer_;
    LineConsumer talk_consumer_;
    std::atomic<bool> any_consumer_{false};
};

}  // namespace kestrel
