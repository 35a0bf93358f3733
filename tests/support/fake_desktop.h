#pragma once
// The desktop as tests see it: scripted answers, a fixed clock, and a record of every
// message and request. Safe to call from any thread.

#include <condition_variable>
#include <ctime>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "core/desktop/desktop.h"
#include "core/text/sjis.h"

namespace kestrel::testing {

class FakeDesktop : public Desktop {
public:
    struct Message {
        std::string text;  // converted to UTF-8 for readable assertions
        std::string caption;
        MessageIcon icon;
        MessageButtons buttons;
    };

    // Answers given to the next message boxes, in order; when none is scripted a box is
    // answered with OK or Yes.
    void answer(MessageAnswer a) {
        std::lock_guard lock(mutex_);
        answers_.push_back(a);
    }
    void choose(std::optional<std::string> path) {
        std::lock_guard lock(mutex_);
        choices_.push_back(std::move(path));
    }
    void set_now(std::time_t t) {
        std::lock_guard lock(mutex_);
        now_ = t;
    }

    MessageAnswer message_box(std::string_view text, std::string_view caption, MessageIcon icon,
                              MessageButtons buttons) override {
        std::lock_guard lock(mutex_);
        messages_.push_back(
            {text::cp932_to_utf8(text), text::cp932_to_utf8(caption), icon, buttons});
        changed_.notify_all();
        if (!answers_.empty()) {
            MessageAnswer a = answers_.front();
            answers_.pop_front();
            return a;
        }
        return buttons == MessageButtons::yes_no || buttons == MessageButtons::yes_no_cancel
                   ? MessageAnswer::yes
                   : MessageAnswer::ok;
    }
    void beep() override { bump(beeps_); }
    void menu_refresh() override { bump(menu_refreshes_); }
    void repaint_row(Pane, int) override { bump(row_repaints_); }
    void repaint_pane(Pane, bool) override { bump(pane_repaints_); }
    void split_view_changed(bool on) override {
        std::lock_guard lock(mutex_);
        split_changes_.push_back(on);
    }
    std::optional<std::string> choose_file(const FileChoice& choice) override {
        std::lock_guard lock(mutex_);
        last_choice_ = choice;
        if (choices_.empty()) return std::nullopt;
        auto c = choices_.front();
        choices_.pop_front();
        return c;
    }
    void release_screen_saver() override { bump(saver_releases_); }
    // OK, keeping the choice it was given; LinkDesktop scripts it.
    ExistingFileAnswer ask_existing_file(bool overwrite) override { return {true, overwrite}; }
    // Boxes here never wait, so there is nothing to dismiss.
    void dismiss_background_messages(bool) override {}
    std::time_t now() override {
        std::lock_guard lock(mutex_);
        return now_;
    }
    // The fake clock's local time is UTC, so tests need no time zone.
    std::tm local_time(std::time_t t) override {
        std::tm out{};
        gmtime_r(&t, &out);
        return out;
    }

    std::vector<Message> messages() const {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    std::vector<std::string> message_texts() const {
        std::lock_guard lock(mutex_);
        std::vector<std::string> out;
        for (const auto& m : messages_) out.push_back(m.text);
        return out;
    }
    // Waits (for threaded tests) until at least `n` messages have been shown.
    bool wait_for_messages(std::size_t n, int timeout_ms = 10000) const {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                                 [&] { return messages_.size() >= n; });
    }
    int beeps() const { return read(beeps_); }
    int menu_refreshes() const { return read(menu_refreshes_); }
    int row_repaints() const { return read(row_repaints_); }
    int pane_repaints() const { return read(pane_repaints_); }
    int saver_releases() const { return read(saver_releases_); }
    std::vector<bool> split_changes() const {
        std::lock_guard lock(mutex_);
        return split_changes_;
    }
    FileChoice last_choice() const {
        std::lock_guard lock(mutex_);
        return last_choice_;
    }

private:
    void bump(int& counter) {
        std::lock_guard lock(mutex_);
        ++counter;
    }
    int read(const int& counter) const {
        std::lock_guard lock(mutex_);
        return counter;
    }

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::deque<MessageAnswer> answers_;
    std::deque<std::optional<std::string>> choices_;
    std::vector<Message> messages_;
    std::vector<bool> split_changes_;
    FileChoice last_choice_;
    std::time_t now_ = 1204707847;  // 2008-03-05 09:04:07 UTC
    int beeps_ = 0, menu_refreshes_ = 0, row_repaints_ = 0, pane_repaints_ = 0, saver_releases_ = 0;
};

}  // namespace kestrel::testing
