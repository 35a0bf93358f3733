#include "core/link/serial_port.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "core/link/termios_mapping.h"

namespace kestrel {
namespace {

// The exclusive flag belongs to the terminal, not to the descriptor: a pseudo-terminal
// keeps it after the last close for as long as its master is open, so it is cleared by hand
// or the next open (the RS-232C dialog's reopen) would be refused.
void release(int fd) {
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
}

}  // namespace

bool SerialPort::open(const char* path) {
    close();
    int fd = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    // TIOCEXCL alone does not stop a privileged opener; the lock covers that case.
    if (::ioctl(fd, TIOCEXCL) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);  // someone else owns the device; their exclusive flag stays
        return false;
    }
    termios t{};
    if (::tcgetattr(fd, &t) != 0) {
        release(fd);
        return false;
    }
    cfmakeraw(&t);
    t.c_cflag |= CREAD | CLOCAL;
    if (::tcsetattr(fd, TCSANOW, &t) != 0) {
        release(fd);
        return false;
    }
    ::tcflush(fd, TCIOFLUSH);
    fd_ = fd;
    return true;
}

bool SerialPort::configure(const PortSettings& port) {
    if (fd_ < 0) return false;
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return false;
    if (!termios_from_port_settings(port, t)) return false;
    return ::tcsetattr(fd_, TCSANOW, &t) == 0;
}

void SerialPort::close() {
    if (fd_ < 0) return;
    ::tcflush(fd_, TCIOFLUSH);
    release(fd_);  // closing also releases the advisory lock
    fd_ = -1;
}

int SerialPort::queued_input() const {
    int n = 0;
    return fd_ >= 0 && ::ioctl(fd_, FIONREAD, &n) == 0 ? n : 0;
}

int SerialPort::pending_output() const {
    int n = 0;
    return fd_ >= 0 && ::ioctl(fd_, TIOCOUTQ, &n) == 0 ? n : 0;
}

void SerialPort::purge() {
    if (fd_ >= 0) ::tcflush(fd_, TCIOFLUSH);
}

int SerialPort::read(std::uint8_t* dst, int max) {
    for (;;) {
        ssize_t n = ::read(fd_, dst, static_cast<std::size_t>(max));
        if (n > 0) return static_cast<int>(n);
        if (n == 0) return -EIO;
        if (errno == EINTR) continue;
        if (errno == EAGAIN) return 0;
        return -errno;
    }
}

}  // namespace kestrel
