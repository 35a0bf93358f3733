#pragma once
// A desktop that shows nothing and answers every question the same way, so benchmarks
// measure the core alone.

#include <optional>
#include <string>

#include "core/desktop/desktop.h"

namespace kestrel::bench {

class QuietDesktop : public Desktop {
public:
    MessageAnswer answer = MessageAnswer::ok;
    std::optional<std::string> chosen;

    MessageAnswer message_box(std::string_view, std::string_view, MessageIcon,
                              MessageButtons) override {
        return answer;
    }
    void beep() override {}
    void menu_refresh() override {}
    void repaint_row(Pane, int) override {}
    void repaint_pane(Pane, bool) override {}
    void split_view_changed(bool) override {}
    std::optional<std::string> choose_file(const FileChoice&) override { return chosen; }
    void release_screen_saver() override {}
    ExistingFileAnswer ask_existing_file(bool overwrite) override { return {true, overwrite}; }
    void dismiss_background_messages(bool) override {}
    std::time_t now() override { return system_now(); }
    std::tm local_time(std::time_t t) override { return system_local_time(t); }
};

}  // namespace kestrel::bench
