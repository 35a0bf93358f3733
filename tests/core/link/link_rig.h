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

#include "fake_desktop.h"
#include "link/link.h"
#include "link/modem_control.h"
#include "screen/backscroll.h"
#include "screen/line_store.h"
#include "settings/settings.h"
#include "transfer/capture.h"

namespace kestrel::testing {

class FakeModem : public ModemControl {
public:
    std::atomic<bool> dsr_on{true};
    std::atomic<bool> dtr{false};
    std::atomic<int> breaks_set{0}, breaks_cleared{0};

    bool set_dtr(int, bool on) override {
        dtr = on;
        return true;
    }
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
    ExistingFileAnswer ask_existing_file(bool overwrite) override {
        ++existing_asked;
        (void)overwrite;
        return {existing_ok.load(), existing_overwrite.load()};
    }

private:
    std::mutex hold_mutex_;
    std::condition_variable hold_changed_;
    bool dismissing_ = false;
};

// A pty pair; the master is non-blocking.
class PtyPair {
public:
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        char name[128];
        if (::ptsname_r(master_, name, sizeof name) == 0) slave_path_ = name;
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair() { close_master(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    int master() const { return master_; }
    const std::string& slave_path() const { return slave_path_; }
    void close_master() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

    void write(std::string_view bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else {
                pollfd p{master_, POLLOUT, 0};
                ::poll(&p, 1, 1000);
            }
        }
    }
    // Everything the slave side sent until `n` bytes came or the deadline passed.
    std::string read(std::size_t n, int deadline_ms = 10000) {
        std::string out;
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadline_ms);
        while (out.size() < n && std::chrono::steady_clock::now() < end) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            char buf[4096];
            ssize_t got = ::read(master_, buf, sizeof buf);
            if (got > 0) out.append(buf, static_cast<std::size_t>(got));
        }
        return out;
    }
    // What is queued now, without waiting for more.
    std::string drain() {
        std::string out;
        for (;;) {
            char buf[4096];
            ssize_t got = ::read(master_, buf, sizeof buf);
            if (got <= 0) return out;
            out.append(buf, static_cast<std::size_t>(got));
        }
    }

private:
    int master_ = -1;
    std::string slave_path_;
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

inline std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

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
    ~LinkRig() { link.reset(); }

    // The text of the line `back` lines above the cursor line.
    std::string screen_line(int back = 0) {
        std::lock_guard lock(store.store_mutex());
        return store.line(store.current_line() - back).text;
    }

    LinkDesktop desktop;
    LineStore store{desktop};
    Backscroll backscroll{store, desktop};
    Capture capture{desktop, store};
    Settings settings;
    FakeModem* modem = nullptr;
    std::unique_ptr<Link> link;
};

}  // namespace kestrel::testing
