#pragma once
// A Link on a real pseudo-terminal: the test holds the master side, as a TNC would hold
// the far end of the cable. Modem lines are faked (a pty has none).

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/link/link.h"
#include "core/link/modem_control.h"
#include "core/screen/backscroll.h"
#include "core/screen/line_store.h"
#include "core/settings/settings.h"
#include "core/transfer/capture.h"
#include "fake_desktop.h"
#include "file_bytes.h"
#include "pty_pair.h"

namespace kestrel::testing {

struct FakeModem : ModemControl {
    std::atomic<bool> dsr_on{true};
    std::atomic<int> breaks_set{0}, breaks_cleared{0};

    bool set_dtr(int, bool) override { return true; }
    std::optional<bool> dsr(int) override { return dsr_on.load(); }
    bool set_break(int, bool on) override {
        ++(on ? breaks_set : breaks_cleared);
        return true;
    }
};

// The desktop with the existing-file question scripted as well, and optionally holding
// message boxes open as a real GUI does until the operator (or close_port) answers.
class LinkDesktop : public FakeDesktop {
public:
    std::atomic<bool> hold_messages{false};
    std::atomic<int> held{0};

    MessageAnswer message_box(std::string_view text, std::string_view caption, MessageIcon icon,
                              MessageButtons buttons) override {
        MessageAnswer answer = FakeDesktop::message_box(text, caption, icon, buttons);
        if (!hold_messages) return answer;
        std::unique_lock lock(hold_mutex_);
        ++held;
        hold_changed_.wait(lock, [&] { return dismissing_; });
        return MessageAnswer::cancel;
    }
    void dismiss_background_messages(bool on) override {
        std::lock_guard lock(hold_mutex_);
        dismissing_ = on;
        hold_changed_.notify_all();
    }

    std::atomic<bool> existing_ok{true};
    std::atomic<bool> existing_overwrite{false};
    std::atomic<int> existing_asked{0};
    ExistingFileAnswer ask_existing_file(bool) override {
        ++existing_asked;
        return {existing_ok.load(), existing_overwrite.load()};
    }

private:
    std::mutex hold_mutex_;
    std::condition_variable hold_changed_;
    bool dismissing_ = false;
};

// Polls `done` until it holds or ten seconds pass; only a guard against hanging.
template <typename F>
bool eventually(F done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

inline std::string file_text(const std::string& path) { return read_bytes(path); }

// Everything the terminal needs around one Link, pointed at `device`.
struct LinkRig {
    explicit LinkRig(const std::string& device) {
        store.first_sized(24);
        settings.port.port_number = 1;
        settings.port.dsr_watch = 1;
        settings.port_devices[0].assign(device);
        auto fake = std::make_unique<FakeModem>();
        modem = fake.get();
        link =
            std::make_unique<Link>(store, backscroll, capture, settings, desktop, std::move(fake));
    }
    // The text of the line `back` lines above the cursor line.
    std::string screen_line(int back = 0) { return store.line_text(back); }

    LinkDesktop desktop;
    LineStore store{desktop};
    Backscroll backscroll{store, desktop};
    Capture capture{desktop, store};
    Settings settings;
    FakeModem* modem = nullptr;
    std::unique_ptr<Link> link;
};

}  // namespace kestrel::testing
