#include "simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "burst_text.h"
#include "line_settings.h"

namespace tncsim {
namespace {

constexpr auto detached_poll = std::chrono::milliseconds(100);
constexpr auto settings_poll = std::chrono::milliseconds(250);

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

timespec until(Clock::time_point deadline) {
    const auto left = std::max(deadline - Clock::now(), Clock::duration::zero());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    const auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds);
    return timespec{static_cast<time_t>(seconds.count()), static_cast<long>(nanos.count())};
}

}  // namespace

Simulator::Simulator(const Options& options, Pty& pty)
    : options_(options),
      pty_(pty),
      out_(options.rate),
      bbs_(options.bbs_call, options.messages, options.seed, options.bbs_style),
      cluster_(options.cluster_call, options.seed,
               std::chrono::duration<double>(options.dx_interval), options.dx_style),
      tnc_(options.mycall, options.echo, {&bbs_, &cluster_}, out_) {
    if (!options.script.empty()) script_ = read_file(options.script);
    if (!options.record.empty()) {
        record_fd_ = ::open(options.record.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (record_fd_ < 0) throw std::system_error(errno, std::generic_category(), options.record);
    }
    if (!options.settings_log.empty()) {
        settings_log_ = std::fopen(options.settings_log.c_str(), "a");
        if (settings_log_ == nullptr) {
            throw std::system_error(errno, std::generic_category(), options.settings_log);
        }
    }
    last_settings_ = describe_line(pty_.settings());
    log("line settings at start: " + last_settings_);
}

Simulator::~Simulator() {
    if (record_fd_ >= 0) ::close(record_fd_);
    if (settings_log_ != nullptr) std::fclose(settings_log_);
}

void Simulator::log(const std::string& text) { std::fprintf(stderr, "tncsim: %s\n", text.c_str()); }

void Simulator::run(const volatile std::sig_atomic_t& stop) {
    sigset_t unblocked;
    sigprocmask(SIG_SETMASK, nullptr, &unblocked);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigdelset(&unblocked, s);

    while (stop == 0 && !hung_up_) {
        const bool attached = pty_.terminal_attached();
        if (attached && !attached_) attach();
        if (!attached && attached_) detach();
        if (hung_up_) break;

        const auto now = Clock::now();
        std::optional<Clock::time_point> deadline;
        const auto consider = [&deadline](std::optional<Clock::time_point> t) {
            if (t && (!deadline || *t < *deadline)) deadline = t;
        };
        if (attached_) {
            tnc_.tick(now);
            out_.release(now);
            if (!reports_changes_) check_settings();
            consider(out_.next_release(now));
            consider(tnc_.next_tick());
            if (!reports_changes_) consider(now + settings_poll);
        } else {
            consider(now + detached_poll);
        }

        pollfd p{pty_.master(), POLLIN | POLLPRI, 0};
        if (!out_.ready().empty()) p.events |= POLLOUT;
        timespec timeout{};
        if (deadline) timeout = until(*deadline);
        const int n = ppoll(&p, attached_ ? 1 : 0, deadline ? &timeout : nullptr, &unblocked);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw std::system_error(errno, std::generic_category(), "ppoll");
        }
        if (!attached_ || n == 0) continue;
        if (p.revents & (POLLIN | POLLPRI | POLLHUP | POLLERR)) read_terminal();
        if (attached_ && (p.revents & POLLOUT)) write_terminal();
    }
}

void Simulator::attach() {
    attached_ = true;
    log("terminal opened the line");
    if (!ever_attached_) {
        ever_attached_ = true;
        if (script_.empty()) {
            tnc_.power_on();
        } else {
            out_.air_raw(script_);
        }
    }
    check_settings();
}

void Simulator::detach() {
    attached_ = false;
    log("terminal closed the line");
    if (options_.exit_on_hangup) hung_up_ = true;
}

void Simulator::read_terminal() {
    while (attached_) {
        const Pty::Packet packet = pty_.read();
        if (packet.would_block) return;
        if (packet.hung_up) {
            detach();
            return;
        }
        if (packet.settings_changed) check_settings();
        if (packet.data.empty()) continue;
        if (record_fd_ >= 0) write_all(record_fd_, packet.data);
        if (!got_input_ && options_.burst > 0) out_.air_raw(burst_text(options_.burst));
        got_input_ = true;
        tnc_.receive(packet.data);
    }
}

void Simulator::write_terminal() {
    const long n = pty_.write(out_.ready());
    if (n > 0) out_.consume(static_cast<std::size_t>(n));
    if (n < 0) detach();
}

void Simulator::check_settings() {
    const termios t = pty_.settings();
    const std::string now = describe_line(t);
    if (now != last_settings_) {
        last_settings_ = now;
        log("line settings: " + now);
        if (settings_log_ != nullptr) {
            std::fprintf(settings_log_, "%s\n", now.c_str());
            std::fflush(settings_log_);
        }
    }
    const bool reports = reports_changes(t);
    if (!reports && reports_changes_) {
        log("the terminal cleared EXTPROC; reading the settings four times a second instead");
    }
    reports_changes_ = reports;
}

}  // namespace tncsim
