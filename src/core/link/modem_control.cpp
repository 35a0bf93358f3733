#include "core/link/modem_control.h"

#include <sys/ioctl.h>

namespace kestrel {

bool SystemModemControl::set_dtr(int fd, bool on) {
    int bits = TIOCM_DTR;
    return ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

std::optional<bool> SystemModemControl::dsr(int fd) {
    int bits = 0;
    if (::ioctl(fd, TIOCMGET, &bits) != 0) return std::nullopt;
    return (bits & TIOCM_DSR) != 0;
}

bool SystemModemControl::set_break(int fd, bool on) {
    return ::ioctl(fd, on ? TIOCSBRK : TIOCCBRK) == 0;
}

}  // namespace kestrel
