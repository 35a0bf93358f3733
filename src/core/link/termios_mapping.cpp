#include "core/link/termios_mapping.h"

namespace kestrel {

std::optional<speed_t> speed_constant(int baud_rate) {
    switch (baud_rate) {
        case 300: return B300;
        case 600: return B600;
        case 1200: return B1200;
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        default: return std::nullopt;
    }
}

bool termios_from_port_settings(const PortSettings& port, termios& t) {
    std::optional<speed_t> speed = speed_constant(port.baud_rate);
    if (!speed) return false;

    termios out = t;
    cfmakeraw(&out);
    out.c_iflag &= ~(INPCK | IXON | IXOFF | IXANY | IGNPAR);
    out.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
    out.c_cflag |= CREAD | CLOCAL | (port.bit_length == 7 ? CS7 : CS8);
    if (port.stop_bits == 1 || port.stop_bits == 2) out.c_cflag |= CSTOPB;
    if (port.parity == 1) out.c_cflag |= PARENB | PARODD;
    if (port.parity == 2) out.c_cflag |= PARENB;

    switch (port.flow_control) {
        case 0:
            out.c_iflag |= IXON | IXOFF;
            out.c_cc[VSTART] = 0x11;
            out.c_cc[VSTOP] = 0x13;
            break;
        case 1:
        case 2: out.c_cflag |= CRTSCTS; break;
        default: break;
    }
    out.c_cc[VMIN] = 1;
    out.c_cc[VTIME] = 0;
    cfsetispeed(&out, *speed);
    cfsetospeed(&out, *speed);
    t = out;
    return true;
}

}  // namespace kestrel
