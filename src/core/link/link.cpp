#include "core/link/link.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <system_error>

#include "core/text/sjis.h"

namespace kestrel {

namespace {

constexpr std::uint8_t bs = 8, lf = 10, cr = 13, dle = 0x10, esc = 0x1B;

const std::string& tnc_not_connected() {
    static const std::string text = text::sjis("TNCが接続されていないか電源が入っていません");
    return text;
}

void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// A lost device is looked for at every change inotify reports and every few seconds besides
// (a link whose target only changes its permissions reports nothing). A lost network peer
// is called again after 1 s, then 2, 4 ... up to 30 s.
constexpr int device_look_ms = 3000, first_call_ms = 1000, longest_call_ms = 30000;

// Watches the folder holding `path` for entries that appear or change or, while that folder
// is missing too (the by-id folder goes with the last adapter), its nearest existing
// ancestor. The watch, or -1.
int watch_folder(int watch_fd, const std::string& path) {
    constexpr std::uint32_t events =
        IN_CREATE | IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    std::string folder = path;
    for (;;) {
        const std::size_t slash = folder.find_last_of('/');
        if (slash == std::string::npos) {
            folder = ".";
        } else {
            folder.resize(slash == 0 ? 1 : slash);
        }
        const int watch = ::inotify_add_watch(watch_fd, folder.c_str(), events);
        if (watch >= 0 || folder == "/" || folder == ".") return watch;
    }
}

}  // namespace

Link::Link(LineStore& store, Backscroll& backscroll, Capture& capture, Settings& settings,
           Desktop& desktop, std::unique_ptr<ModemControl> modem)
    : store_(store),
      backscroll_(backscroll),
      capture_(capture),
      settings_(settings),
      desktop_(desktop),
      modem_(modem ? std::move(modem) : std::make_unique<SystemModemControl>()),
      lines_(capture, settings, rbbs_) {
    lines_.set_before_action([this] { pass_on_run(processing_); });
    int current = settings.default_fkey_no;
    rbbs_.current.store(current >= 0 && current < rbbs_count ? current : 0);
    dsr_watch_.store(settings.port.dsr_watch != 0);
    local_echo_.store(settings.port.local_echo != 0);
    tx_lf_.store(settings.port.tx_lf != 0);
}

Link::~Link() { close_port(); }

bool Link::open_port() {
    close_port();
    const PortSettings port = settings_.port;
    dsr_watch_.store(port.dsr_watch != 0);
    local_echo_.store(port.local_echo != 0);
    tx_lf_.store(port.tx_lf != 0);
    if (port.port_number < 1 || port.port_number > port_count) return false;
    std::string device(
        settings_.port_devices[static_cast<std::size_t>(port.port_number - 1)].view());

    address_ = Port::network_address(device);
    if (Port::is_network(device) && !address_) return false;
    network_.store(address_.has_value());
    device_ = device;
    opened_ = port;
    reconnect_ = port.reconnect != 0;
    lost_reported_ = false;
    last_call_ = {};
    call_pause_ms_ = first_call_ms;

    std::unique_lock lock(port_mutex_);
    // A network port is connected by the receiver: a peer slow to answer must not hold the
    // UI thread.
    if (!address_) {
        if (!port_.open(device.c_str())) return false;
        if (!port_.configure(port)) {
            port_.close();
            return false;
        }
    }
    wake_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_fd_ < 0) {
        port_.close();
        return false;
    }
    lost_.store(address_.has_value());
    running_.store(true);
    try {
        receiver_ = std::thread(&Link::receiver_thread, this);
    } catch (const std::system_error&) {
        running_.store(false);
        ::close(wake_fd_);
        wake_fd_ = -1;
        port_.close();
        return false;
    }
    if (!address_) modem_->set_dtr(port_.fd(), true);
    return true;
}

void Link::stop_receiver() {
    running_.store(false);
    {
        std::shared_lock lock(port_mutex_);
        if (wake_fd_ >= 0) {
            std::uint64_t one = 1;
            [[maybe_unused]] ssize_t n = ::write(wake_fd_, &one, sizeof one);
        }
    }
    if (receiver_.joinable()) {
        // The receiver may be waiting in a message box that only the UI thread (this
        // one) could answer.
        desktop_.dismiss_background_messages(true);
        receiver_.join();
        desktop_.dismiss_background_messages(false);
    }
}

void Link::close_port() {
    stop_receiver();
    std::unique_lock lock(port_mutex_);
    if (port_.is_open()) {
        if (!port_.network()) modem_->set_dtr(port_.fd(), false);
        port_.close();
    }
    if (wake_fd_ >= 0) ::close(wake_fd_);
    wake_fd_ = -1;
}

bool Link::port_is_open() const { return running_.load() && !lost_.load(); }

bool Link::tnc_connected() {
    if (!dsr_watch_.load() || network_.load()) return true;
    std::shared_lock lock(port_mutex_);
    if (!port_.is_open()) return false;
    return modem_->dsr(port_.fd()).value_or(false);
}

void Link::clear_dtr() {
    std::shared_lock lock(port_mutex_);
    if (port_.is_open() && !port_.network()) modem_->set_dtr(port_.fd(), false);
}

int Link::pending_output() {
    std::shared_lock lock(port_mutex_);
    return port_.pending_output();
}

void Link::send_break() {
    std::shared_lock lock(port_mutex_);
    if (port_.is_open() && !port_.network()) modem_->set_break(port_.fd(), true);
}

void Link::end_break() {
    std::shared_lock lock(port_mutex_);
    if (port_.is_open() && !port_.network()) modem_->set_break(port_.fd(), false);
}

bool Link::send_break_unproto() {
    send_break();
    pause_ms(500);
    end_break();
    pause_ms(300);
    text::FixedText<81> unproto;
    {
        std::lock_guard lock(rbbs_.records_mutex);
        int index = rbbs_.current.load();
        if (index < 0 || index >= rbbs_count) index = 0;
        unproto = settings_.rbbs[static_cast<std::size_t>(index)].unproto;
    }
    for (char c : unproto.view()) {
        if (!send_char(static_cast<std::uint8_t>(c))) return false;
    }
    // A refusal stops the command wherever it happens: one message, not three.
    if (!send_char(cr)) return false;
    pause_ms(300);
    return send_char('K') && send_char(cr);
}

void Link::put_error_text(std::string_view format_utf8, unsigned value) {
    char text[64];
    std::snprintf(text, sizeof text, text::sjis(format_utf8).c_str(), value);
    store_.put_text(text);
    repaint_cursor_rows();
}

void Link::repaint_cursor_rows() { desktop_.repaint_row(Pane::terminal, store_.cursor_row()); }

bool Link::write_port(const std::uint8_t* bytes, std::size_t n) {
    bool gave_way = false;
    return write_port(bytes, n, -1, gave_way);
}

bool Link::write_port(const std::uint8_t* bytes, std::size_t n, int give_way_fd, bool& gave_way) {
    std::shared_lock lock(port_mutex_);
    if (!port_.is_open() || lost_.load()) return false;
    const int fd = port_.fd();
    bool waited = false;
    std::size_t done = 0;
    while (done < n) {
        ssize_t w = port_.write(bytes + done, n - done);
        if (w > 0) {
            done += static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && errno == EAGAIN) {
            // The output queue is full (flow control held it): wait, as the overlapped
            // write does, but give way to close_port.
            waited = true;
            // A negative descriptor is skipped by poll.
            pollfd fds[3] = {{fd, POLLOUT, 0}, {wake_fd_, POLLIN, 0}, {give_way_fd, POLLIN, 0}};
            int r = ::poll(fds, 3, -1);
            if (r < 0 && errno == EINTR) continue;
            if (fds[1].revents != 0) return true;
            if (fds[2].revents != 0) {
                gave_way = true;
                return false;
            }
            if (r < 0 || (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
                put_error_text("com ｴﾗｰ%u", r < 0 ? static_cast<unsigned>(errno) : EIO);
                return true;
            }
            continue;
        }
        unsigned error = w < 0 ? static_cast<unsigned>(errno) : EIO;
        if (waited) {
            put_error_text("com ｴﾗｰ%u", error);
            return true;
        }
        put_error_text("com ｴﾗｰ %u", error);
        return false;
    }
    return true;
}

bool Link::send_char(std::uint8_t c) {
    const bool echo = local_echo_.load();
    switch (c) {
        case bs: {
            int n = typed_line_.back_space();
            for (int i = 0; i < n; ++i) {
                write_port(&c, 1);
                if (echo) store_.put_char(bs);
            }
            if (n > 0 && echo) repaint_cursor_rows();
            return true;
        }
        case dle: return true;
        case esc:
            if (backscroll_.split_view()) backscroll_.leave_split_view();
            return true;
        default: break;
    }
    if (!tnc_connected()) {
        desktop_.tell(tnc_not_connected());
        return false;
    }
    if (!port_is_open()) {
        desktop_.tell(text::sjis("通信ポートがオープンされていません"));
        return true;
    }
    write_port(&c, 1);
    if (c == cr) {
        if (echo) {
            store_.put_char(cr);
            desktop_.repaint_pane(Pane::terminal, false);
        }
        typed_line_.clear();
        if (tx_lf_.load()) write_port(&lf, 1);
        return true;
    }
    if (c == '\t' || c >= 0x20) {
        TypedLine::Echo shown = typed_line_.add(c);
        if (echo && shown.count > 0) {
            store_.put_char(shown.first);
            if (shown.count == 2) store_.put_char(shown.second);
            repaint_cursor_rows();
        }
    }
    return true;
}

bool Link::send_byte_echo(std::uint8_t c, int give_way_fd) {
    bool gave_way = false;
    write_port(&c, 1, give_way_fd, gave_way);
    if (gave_way) return false;
    if (!local_echo_.load()) return true;
    store_.put_char(c);
    repaint_cursor_rows();
    if (c == cr && tx_lf_.load()) write_port(&lf, 1, give_way_fd, gave_way);
    return true;
}

bool Link::send_tnc_clock() {
    if (!tnc_connected()) {
        desktop_.tell(tnc_not_connected());
        return false;
    }
    std::tm t = desktop_.local_time(desktop_.now());
    int year = t.tm_year >= 100 ? t.tm_year - 100 : t.tm_year;
    char command[48];
    int n = std::snprintf(command, sizeof command, "DAYTIME %02d%02d%02d%02d%02d%02d\r", year,
                          t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    for (int i = 0; i < n && i < static_cast<int>(sizeof command) - 1; ++i) {
        if (!send_char(static_cast<std::uint8_t>(command[i]))) return false;
    }
    return true;
}

void Link::receiver_thread() {
    while (!lost_.load() || await_port()) {
        pollfd fds[2] = {{port_.fd(), POLLIN, 0}, {wake_fd_, POLLIN, 0}};
        while (running_.load() && !lost_.load()) {
            fds[0].revents = fds[1].revents = 0;
            int r = ::poll(fds, 2, -1);
            if (r < 0) {
                if (errno == EINTR) continue;
                device_lost(static_cast<unsigned>(errno));
                break;
            }
            if (!running_.load() || fds[1].revents != 0) return;
            if (fds[0].revents != 0 && !process_burst()) break;
        }
        if (!running_.load()) return;
    }
}

bool Link::await_port() {
    if (address_) return await_peer();
    return reconnect_ && await_device();
}

bool Link::await_device() {
    // A device that opens but fails at once must not turn this into a busy loop: at most
    // one reopening a second.
    const auto rest = std::chrono::ceil<std::chrono::milliseconds>(
        last_call_ + std::chrono::milliseconds(first_call_ms) - std::chrono::steady_clock::now());
    if (rest.count() > 0 && !pause_receiver(static_cast<int>(rest.count()))) return false;
    const int watch_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    int watch = -1;
    bool back = false;
    // Without inotify (watch_fd -1, which poll skips) only the periodic look remains.
    while (running_.load()) {
        // Watch first, then look: a device that comes in between is seen either way.
        if (watch_fd >= 0) {
            if (watch >= 0) ::inotify_rm_watch(watch_fd, watch);
            watch = watch_folder(watch_fd, device_);
        }
        if (reopen_device()) {
            back = true;
            break;
        }
        pollfd fds[2] = {{watch_fd, POLLIN, 0}, {wake_fd_, POLLIN, 0}};
        const int r = ::poll(fds, 2, device_look_ms);
        if ((r < 0 && errno != EINTR) || fds[1].revents != 0) break;
        char events[4096];
        if (fds[0].revents != 0) {
            while (::read(watch_fd, events, sizeof events) > 0) {
            }
        }
    }
    if (watch_fd >= 0) ::close(watch_fd);
    if (back) port_back();
    return back;
}

bool Link::reopen_device() {
    std::unique_lock lock(port_mutex_);
    if (!port_.open(device_.c_str())) return false;
    if (port_.configure(opened_)) {
        modem_->set_dtr(port_.fd(), true);
        last_call_ = std::chrono::steady_clock::now();
        return true;
    }
    port_.close();
    return false;
}

bool Link::await_peer() {
    using clock = std::chrono::steady_clock;
    for (;;) {
        // At most one call a second, backing off to one in 30 s while calls fail or their
        // connections drop at once (a serial-to-network server whose port is in use takes
        // the call and hangs up); a connection that lived longer starts the pauses afresh.
        if (last_call_ != clock::time_point{}) {
            const auto now = clock::now();
            if (now - last_call_ > std::chrono::milliseconds(longest_call_ms)) {
                call_pause_ms_ = first_call_ms;
            }
            const auto next = last_call_ + std::chrono::milliseconds(call_pause_ms_);
            if (next > now &&
                !pause_receiver(static_cast<int>(
                    std::chrono::ceil<std::chrono::milliseconds>(next - now).count()))) {
                return false;
            }
            call_pause_ms_ =
                call_pause_ms_ * 2 < longest_call_ms ? call_pause_ms_ * 2 : longest_call_ms;
        }
        if (!running_.load()) return false;
        last_call_ = clock::now();
        int fd = -1;
        const int error = Port::dial(*address_, wake_fd_, fd);
        if (error == 0) {
            {
                std::unique_lock lock(port_mutex_);
                port_.adopt(fd);
            }
            port_back();
            return true;
        }
        if (error == ECANCELED) return false;
        if (!lost_reported_) {
            put_error_text("tcp ｴﾗ- %u", static_cast<unsigned>(error));
            lost_reported_ = true;
        }
        if (!reconnect_) return false;
    }
}

bool Link::pause_receiver(int ms) {
    pollfd wake{wake_fd_, POLLIN, 0};
    int r;
    while ((r = ::poll(&wake, 1, ms)) < 0 && errno == EINTR) {
    }
    return r == 0 && running_.load();
}

void Link::port_back() {
    lost_.store(false);
    if (!lost_reported_) return;  // a network port's first connection goes without a word
    lost_reported_ = false;
    store_.put_text("\r" + device_ + text::sjis(" に再接続しました") + "\r");
    desktop_.repaint_pane(Pane::terminal, false);
}

bool Link::process_burst() {
    for (;;) {
        lines_.begin_read();
        int n = port_.read(read_buffer_.data(), read_chunk);
        if (n < 0) {
            device_lost(static_cast<unsigned>(-n));
            return false;
        }
        // Each byte meets the line processing (and beside it the upload's prompt watch),
        // then the screen, then the capture. The last two take their locks once per run
        // of bytes: a run ends where the line processing acts (before_action), and at the
        // end of the read.
        run_start_ = 0;
        for (processing_ = 0; processing_ < n; ++processing_) {
            const std::uint8_t c = read_buffer_[static_cast<std::size_t>(processing_)];
            lines_.accumulate_byte(c);
            prompt_watch_.feed(c);
        }
        pass_on_run(n);
        backscroll_.leave_if_near_oldest();
        since_guard_ = 0;
        repaint_cursor_rows();
        if (n == 0 || !running_.load()) return true;
    }
}

void Link::pass_on_run(int end) {
    if (end <= run_start_) return;
    std::string_view run(reinterpret_cast<const char*>(read_buffer_.data()) + run_start_,
                         static_cast<std::size_t>(end - run_start_));
    run_start_ = end;
    // The screen takes the run in pieces so that the split-view guard keeps up with a
    // large read; the capture takes it whole, in one write.
    for (std::string_view rest = run; !rest.empty();) {
        const auto piece =
            std::min(rest.size(), static_cast<std::size_t>(guard_bytes - since_guard_));
        store_.put_text(rest.substr(0, piece));
        rest.remove_prefix(piece);
        since_guard_ += static_cast<int>(piece);
        if (since_guard_ == guard_bytes) {
            backscroll_.leave_if_near_oldest();
            since_guard_ = 0;
        }
    }
    if (capture_.is_open() && !capture_.capture_received(run)) capture_failed();
}

void Link::capture_failed() {
    desktop_.tell(text::sjis("書き込みエラーが発生しました"), MessageIcon::warning);
    capture_.end_download();
}

void Link::device_lost(unsigned error) {
    put_error_text(port_.network() ? "tcp ｴﾗ- %u" : "com ｴﾗ- %u", error);
    lost_reported_ = true;
    lost_.store(true);
    // Senders waiting for room are woken and leave before the port closes ...
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(wake_fd_, &one, sizeof one);
    {
        std::unique_lock lock(port_mutex_);
        port_.close();
    }
    // ... and the wake-up is taken back for close_port: no sender waits on it now, and a
    // close_port that came meanwhile cleared running_ first, which the receiver's waits
    // look at before they block.
    std::uint64_t count = 0;
    [[maybe_unused]] ssize_t m = ::read(wake_fd_, &count, sizeof count);
}

}  // namespace kestrel
