#include "core/link/port.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace kestrel {
namespace {

constexpr std::string_view scheme = "tcp://";
constexpr int send_flags = MSG_NOSIGNAL | MSG_DONTWAIT;

int connect_socket(int fd, const addrinfo& ai, int wake_fd) {
    if (::connect(fd, ai.ai_addr, ai.ai_addrlen) == 0) return 0;
    if (errno != EINPROGRESS) return errno;
    using clock = std::chrono::steady_clock;
    const auto end = clock::now() + std::chrono::milliseconds(Port::connect_timeout_ms);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - clock::now()).count();
        if (left <= 0) return ETIMEDOUT;
        pollfd fds[2] = {{fd, POLLOUT, 0}, {wake_fd, POLLIN, 0}};
        const int r = ::poll(fds, 2, static_cast<int>(left));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return errno;
        if (fds[1].revents != 0) return ECANCELED;
        if (r == 0) continue;
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
        return error;
    }
}

}  // namespace

bool Port::is_network(std::string_view device) { return device.starts_with(scheme); }

std::optional<NetAddress> Port::network_address(std::string_view device) {
    if (!is_network(device)) return std::nullopt;
    device.remove_prefix(scheme.size());
    const std::size_t colon = device.rfind(':');
    if (colon == std::string_view::npos) return std::nullopt;
    std::string_view host = device.substr(0, colon), service = device.substr(colon + 1);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    if (host.empty() || service.empty()) return std::nullopt;
    return NetAddress{std::string(host), std::string(service)};
}

bool Port::open(const char* path) {
    close();
    return serial_.open(path);
}

bool Port::configure(const PortSettings& port) { return network() || serial_.configure(port); }

int Port::dial(const NetAddress& address, int wake_fd, int& fd) {
    fd = -1;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    // Resolving a name cannot be interrupted; a numeric address or a local name is quick.
    const int rc = ::getaddrinfo(address.host.c_str(), address.service.c_str(), &hints, &found);
    if (rc != 0) return rc == EAI_SYSTEM && errno != 0 ? errno : EHOSTUNREACH;
    int error = EHOSTUNREACH;
    for (const addrinfo* ai = found; ai != nullptr; ai = ai->ai_next) {
        const int s = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                               ai->ai_protocol);
        if (s < 0) {
            error = errno;
            continue;
        }
        error = connect_socket(s, *ai, wake_fd);
        if (error == 0) {
            // Keys go out as they are typed; a peer that vanished is noticed in the end.
            const int on = 1;
            ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            ::setsockopt(s, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
            fd = s;
            break;
        }
        ::close(s);
        if (error == ECANCELED) break;
    }
    ::freeaddrinfo(found);
    return error;
}

void Port::adopt(int fd) {
    close();
    net_fd_ = fd;
}

void Port::close() {
    serial_.close();
    if (net_fd_ >= 0) ::close(net_fd_);
    net_fd_ = -1;
    telnet_.reset();
    telnet_active_.store(false);
    half_iac_ = false;
}

int Port::queued_input() const {
    if (!network()) return serial_.queued_input();
    int n = 0;
    return ::ioctl(net_fd_, FIONREAD, &n) == 0 ? n : 0;
}

int Port::pending_output() const {
    if (!network()) return serial_.pending_output();
    int n = 0;  // SIOCOUTQ, the socket's unsent bytes, shares TIOCOUTQ's number
    return ::ioctl(net_fd_, TIOCOUTQ, &n) == 0 ? n : 0;
}

int Port::read(std::uint8_t* dst, int max) {
    if (!network()) return serial_.read(dst, max);
    // One byte short: a 0xFF held back from the last read may come out in front.
    raw_.resize(static_cast<std::size_t>(max > 1 ? max - 1 : 1));
    for (;;) {
        const ssize_t n = ::recv(net_fd_, raw_.data(), raw_.size(), MSG_DONTWAIT);
        if (n == 0) return -ECONNRESET;
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -errno;
        }
        std::string replies;
        const int m = telnet_.receive(raw_.data(), static_cast<int>(n), dst, replies);
        if (telnet_.active()) telnet_active_.store(true);
        if (!replies.empty()) send_replies(replies);
        return m;
    }
}

void Port::send_replies(const std::string& replies) {
    // Best effort: a peer that does not read its own negotiation answers gets none.
    std::lock_guard lock(send_mutex_);
    [[maybe_unused]] ssize_t n = ::send(net_fd_, replies.data(), replies.size(), send_flags);
}

ssize_t Port::write(const std::uint8_t* bytes, std::size_t n) {
    if (!network()) return ::write(serial_.fd(), bytes, n);
    std::lock_guard lock(send_mutex_);
    if (!telnet_active_.load()) return ::send(net_fd_, bytes, n, send_flags);
    // Telnet: each 0xFF goes out twice. A pair cut in half is finished by the caller's retry,
    // which starts at that same byte.
    std::size_t done = 0;
    while (done < n) {
        if (bytes[done] == TelnetFilter::iac) {
            static constexpr std::uint8_t pair[2] = {TelnetFilter::iac, TelnetFilter::iac};
            const std::size_t want = half_iac_ ? 1 : 2;
            const ssize_t w = ::send(net_fd_, pair, want, send_flags);
            if (w <= 0) return done > 0 ? static_cast<ssize_t>(done) : -1;
            if (static_cast<std::size_t>(w) < want) {
                half_iac_ = true;
                errno = EAGAIN;
                return done > 0 ? static_cast<ssize_t>(done) : -1;
            }
            half_iac_ = false;
            ++done;
            continue;
        }
        std::size_t end = done;
        while (end < n && bytes[end] != TelnetFilter::iac) ++end;
        const ssize_t w = ::send(net_fd_, bytes + done, end - done, send_flags);
        if (w < 0) return done > 0 ? static_cast<ssize_t>(done) : -1;
        done += static_cast<std::size_t>(w);
        if (done < end) break;
    }
    return static_cast<ssize_t>(done);
}

}  // namespace kestrel
