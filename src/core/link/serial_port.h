#pragma once
// One open serial device: exclusive, raw, non-blocking. Knows nothing of threads; Link
// decides who may use the descriptor when.

#include <cstddef>
#include <cstdint>

#include "core/settings/settings.h"

namespace kestrel {

class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort() { close(); }
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens `path` read/write without making it the controlling terminal, refuses a device
    // another program (or another SerialPort) holds (TIOCEXCL and an advisory lock), puts it
    // in raw mode and drains both queues. False, with nothing left open, on any failure.
    bool open(const char* path);
    // configure_port: applies the line settings. False when the speed cannot be set or the
    // driver refuses them.
    bool configure(const PortSettings& port);
    void close();

    bool is_open() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // Bytes waiting in the input queue; 0 when it cannot be read.
    int queued_input() const;
    // Bytes still queued for output; 0 when it cannot be read.
    int pending_output() const;
    // Discards both queues.
    void purge();

    // read_port: at most `max` bytes, never more than are queued (the descriptor does not
    // block). 0 when nothing is queued; a negated errno when the device failed, -EIO when
    // it hung up.
    int read(std::uint8_t* dst, int max);

private:
    int fd_ = -1;
};

}  // namespace kestrel
