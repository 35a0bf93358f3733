#pragma once
// The link's channel to the TNC: a serial device, or a TCP connection when the device is
// named "tcp://host:port" (a serial-to-network server, or the telnet port of a BBS or a
// cluster). On the network the line settings, the modem lines and the break do not apply,
// and received bytes pass through TelnetFilter. The receiver alone reads; senders may write
// from any thread; Link decides who may open and close it when.

#include <sys/types.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/serial_port.h"
#include "core/link/telnet.h"
#include "core/settings/settings.h"

namespace kestrel {

struct NetAddress {
    std::string host;  // a name, an IPv4 address, or an IPv6 address without its brackets
    std::string service;
};

class Port {
public:
    static constexpr int connect_timeout_ms = 10000;

    // True when `device` names a network port ("tcp://..."), well formed or not.
    static bool is_network(std::string_view device);
    // "tcp://host:port" (an IPv6 host in brackets); nothing when it is not of that form.
    static std::optional<NetAddress> network_address(std::string_view device);

    Port() = default;
    ~Port() { close(); }
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    // A serial device, as SerialPort::open.
    bool open(const char* path);
    // The line settings; nothing to apply on the network.
    bool configure(const PortSettings& port);
    // Connects, giving up after connect_timeout_ms or as soon as `wake_fd` is readable. 0
    // and the connected socket in `fd`, otherwise the error: ECANCELED when woken,
    // EHOSTUNREACH when the name does not resolve. Touches no Port, so nobody need wait.
    static int dial(const NetAddress& address, int wake_fd, int& fd);
    // Takes a socket from `dial` as the open port.
    void adopt(int fd);
    void close();

    bool is_open() const { return fd() >= 0; }
    bool network() const { return net_fd_ >= 0; }
    int fd() const { return net_fd_ >= 0 ? net_fd_ : serial_.fd(); }

    int queued_input() const;
    int pending_output() const;
    // As SerialPort::read (`max` at least 2); on the network the telnet commands are taken
    // out and answered, so a read that found only those returns 0, and the peer closing
    // gives -ECONNRESET.
    int read(std::uint8_t* dst, int max);
    // As write(2) on the non-blocking descriptor: how many of `bytes` went out, or -1 with
    // errno (EAGAIN while the output is full). Never raises SIGPIPE.
    ssize_t write(const std::uint8_t* bytes, std::size_t n);

private:
    void send_replies(const std::string& replies);

    SerialPort serial_;
    int net_fd_ = -1;
    TelnetFilter telnet_;  // the receiver's
    std::vector<std::uint8_t> raw_;
    std::atomic<bool> telnet_active_{false};
    std::mutex send_mutex_;  // network sends: a doubled 0xFF goes out whole
    bool half_iac_ = false;  // under send_mutex_: the first of a doubled 0xFF went out
};

}  // namespace kestrel
