#pragma once
// The desktop as tests see it: scripted answers, a fixed clock, and a record of every
// message and request. Safe to call from any thread.

#include <atomic>
#include <ctime>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/desktop/desktop.h"
#include "core/text/sjis.h"

namespace kestrel::testing {

class FakeDesktop : public Desktop {
public:
    struct Message {
        std::string text, caption;  // converted to UTF-8 for readable assertions
        MessageIcon icon;
        MessageButtons buttons;
    };

    // Answers given to the next message boxes and file choosers, in order; when none is
    // scripted a box is answered with OK or Yes and a chooser is cancelled.
    void answer(MessageAnswer a) { add(answers_, a); }
    void choose(std::optional<std::string> path) { add(choices_, path); }
    void set_now(std::time_t t) { now_ = t; }

    MessageAnswer message_box(std::string_view text, std::string_view caption, MessageIcon icon,
                              MessageButtons buttons) override {
        std::lock_guard lock(mutex_);
        messages_.push_back(
            {text::cp932_to_utf8(text), text::cp932_to_utf8(caption), icon, buttons});
        const bool yes =
            buttons == MessageButtons::yes_no || buttons == MessageButtons::yes_no_cancel;
        return next(answers_, yes ? MessageAnswer::yes : MessageAnswer::ok);
    }
    void beep() override { ++beeps_; }
    void menu_refresh() override {}
    void repaint_row(Pane, int) override {}
    void repaint_pane(Pane, bool) override {}
    void split_view_changed(bool on) override { add(split_changes_, on); }
    std::optional<std::string> choose_file(const FileChoice& choice) override {
        std::lock_guard lock(mutex_);
        last_choice_ = choice;
        return next(choices_, std::optional<std::string>());
    }
    void release_screen_saver() override { ++saver_releases_; }
    // OK, keeping the choice it was given; LinkDesktop scripts it.
    ExistingFileAnswer ask_existing_file(bool overwrite) override { return {true, overwrite}; }
    // Boxes here never wait, so there is nothing to dismiss.
    void dismiss_background_messages(bool) override {}
    std::time_t now() override { return now_; }
    // The fake clock's local time is UTC, so tests need no time zone.
    std::tm local_time(std::time_t t) override {
        std::tm out{};
        return *gmtime_r(&t, &out);
    }

    std::vector<Message> messages() const { return copy_of(messages_); }
    std::vector<std::string> message_texts() const {
        std::vector<std::string> out;
        for (const auto& m : messages()) out.push_back(m.text);
        return out;
    }
    int beeps() const { return beeps_; }
    int saver_releases() const { return saver_releases_; }
    std::vector<bool> split_changes() const { return copy_of(split_changes_); }
    FileChoice last_choice() const { return copy_of(last_choice_); }

private:
    template <typename T>
    T copy_of(const T& member) const {
        std::lock_guard lock(mutex_);
        return member;
    }
    template <typename C, typename T>
    void add(C& to, const T& value) {
        std::lock_guard lock(mutex_);
        to.push_back(value);
    }
    // The first scripted answer, or `otherwise` when none is left. Lock held.
    template <typename T>
    static T next(std::deque<T>& scripted, T otherwise) {
        if (scripted.empty()) return otherwise;
        T a = scripted.front();
        scripted.pop_front();
        return a;
    }

    mutable std::mutex mutex_;
    std::deque<MessageAnswer> answers_;
    std::deque<std::optional<std::string>> choices_;
    std::vector<Message> messages_;
    std::vector<bool> split_changes_;
    FileChoice last_choice_;
    std::atomic<std::time_t> now_{1204707847};  // 2008-03-05 09:04:07 UTC
    std::atomic<int> beeps_{0}, saver_releases_{0};
};

}  // namespace kestrel::testing
