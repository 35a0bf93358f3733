#include "pty.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace tncsim {
namespace {

[[noreturn]] void fail(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

Pty::Pty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) fail("posix_openpt");
    try {
        if (grantpt(master_) != 0) fail("grantpt");
        if (unlockpt(master_) != 0) fail("unlockpt");
        char name[128];
        if (ptsname_r(master_, name, sizeof name) != 0) fail("ptsname_r");
        slave_path_ = name;

        // Start like a serial line at 9600 8N1 without flow control, in raw mode. EXTPROC makes
        // the kernel report every later settings change through packet mode.
        termios t{};
        if (tcgetattr(master_, &t) != 0) fail("tcgetattr");
        cfmakeraw(&t);
        t.c_lflag |= EXTPROC;
        t.c_cflag |= CLOCAL | CREAD;
        cfsetispeed(&t, B9600);
        cfsetospeed(&t, B9600);
        if (tcsetattr(master_, TCSANOW, &t) != 0) fail("tcsetattr");

        // Until the slave has been opened once the master never reports a hang-up; opening and
        // closing it here makes "hung up" mean "no terminal" from the start.
        const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slave < 0) fail("open slave");
        ::close(slave);

        int on = 1;
        if (ioctl(master_, TIOCPKT, &on) != 0) fail("TIOCPKT");
    } catch (...) {
        ::close(master_);
        throw;
    }
}

Pty::~Pty() { ::close(master_); }

bool Pty::terminal_attached() const {
    pollfd p{master_, POLLIN | POLLPRI, 0};
    return poll(&p, 1, 0) >= 0 && (p.revents & POLLHUP) == 0;
}

Pty::Packet Pty::read() {
    Packet packet;
    char buffer[4096];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        packet.would_block = true;
    } else if (n <= 0) {
        packet.hung_up = true;
    } else if (buffer[0] == TIOCPKT_DATA) {
        packet.data.assign(buffer + 1, static_cast<std::size_t>(n - 1));
    } else {
        packet.settings_changed = (buffer[0] & TIOCPKT_IOCTL) != 0;
    }
    return packet;
}

long Pty::write(std::string_view bytes) {
    const ssize_t n = ::write(master_, bytes.data(), bytes.size());
    if (n >= 0) return static_cast<long>(n);
    if (errno == EAGAIN || errno == EINTR) return 0;
    return -1;
}

termios Pty::settings() const {
    // On the master, tcgetattr reads the slave's settings.
    termios t{};
    tcgetattr(master_, &t);
    return t;
}

}  // namespace tncsim
