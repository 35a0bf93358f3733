#include "core/link/rx_line.h"

#include <cstring>

namespace kestrel {

std::string_view RxLine::text() const {
    return std::string_view(bytes.data(), ::strnlen(bytes.data(), size));
}

LineProcessor::LineProcessor(Capture& capture, const Settings& settings, RbbsShare& rbbs)
    : capture_(capture), settings_(settings), rbbs_(rbbs) {}

void LineProcessor::begin_read() {
    std::lock_guard lock(rbbs_.records_mutex);
    int index = rbbs_.current.load(std::memory_order_relaxed);
    if (index < 0 || index >= rbbs_count) index = 0;
    const RbbsRecord& record = settings_.rbbs[static_cast<std::size_t>(index)];
    triggers_.start = record.dl_start;
    triggers_.end = record.dl_end;
    triggers_.extension = record.extension;
    triggers_.start_on = record.dl_start_valid != 0;
    triggers_.end_on = record.dl_end_valid != 0;
    triggers_.dl_dir = settings_.dl_dir;
}

void LineProcessor::line_complete() {
    if (any_consumer_.load(std::memory_order_acquire)) {
        before_action();
        std::lock_guard lock(consumers_mutex_);
        // Each consumer gets its own copy, as it may keep or cut the text.
        char copy[260];
        std::string_view text = rx_line_.text();
        if (scope_consumer_) {
            std::memcpy(copy, text.data(), text.size());
            scope_consumer_(std::string_view(copy, text.size()));
        }
        if (talk_consumer_) {
            std::memcpy(copy, text.data(), text.size());
            talk_consumer_(std::string_view(copy, text.size()));
        }
    }
    rx_line_.clear();
}

void LineProcessor::check_download() {
    switch (capture_.mode()) {
        case DownloadMode::date_named:
            if (triggers_.end_on && !triggers_.end.empty() &&
                rx_line_.equals(triggers_.end.view())) {
                before_action();
                char tail[3] = {triggers_.end.view().back(), '\r', '\n'};
                capture_.finish_date_named(std::string_view(tail, 3));
            }
            break;
        case DownloadMode::none:
            if (triggers_.start_on && !triggers_.start.empty() &&
                rx_line_.equals(triggers_.start.view())) {
                before_action();
                // The trigger's last byte is still to reach the capture with this read.
                std::string_view start = triggers_.start.view();
                capture_.start_date_named_download(triggers_.dl_dir.view(),
                                                   triggers_.extension.view(),
                                                   start.substr(0, start.size() - 1));
            }
            break;
        case DownloadMode::normal: break;
    }
}

void LineProcessor::set_scope_consumer(LineConsumer consumer) {
    std::lock_guard lock(consumers_mutex_);
    scope_consumer_ = std::move(consumer);
    any_consumer_.store(scope_consumer_ || talk_consumer_, std::memory_order_release);
}

void LineProcessor::set_talk_consumer(LineConsumer consumer) {
    std::lock_guard lock(consumers_mutex_);
    talk_consumer_ = std::move(consumer);
    any_consumer_.store(scope_consumer_ || talk_consumer_, std::memory_order_release);
}

}  // namespace kestrel
