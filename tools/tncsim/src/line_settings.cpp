#include "line_settings.h"

#include <utility>

namespace tncsim {
namespace {

long speed_of(speed_t code) {
    static constexpr std::pair<speed_t, long> speeds[] = {
        {B0, 0},           {B50, 50},       {B75, 75},         {B110, 110},       {B134, 134},
        {B150, 150},       {B200, 200},     {B300, 300},       {B600, 600},       {B1200, 1200},
        {B1800, 1800},     {B2400, 2400},   {B4800, 4800},     {B9600, 9600},     {B19200, 19200},
        {B38400, 38400},   {B57600, 57600}, {B115200, 115200}, {B230400, 230400}, {B460800, 460800},
        {B921600, 921600},
    };
    for (const auto& [c, bps] : speeds) {
        if (c == code) return bps;
    }
    return -1;
}

const char* flow_of(const termios& t) {
    const bool hardware = (t.c_cflag & CRTSCTS) != 0;
    const bool software = (t.c_iflag & (IXON | IXOFF)) != 0;
    if (hardware && software) return "rtscts+xonxoff";
    if (hardware) return "rtscts";
    if (software) return "xonxoff";
    return "none";
}

}  // namespace

std::string describe_line(const termios& t) {
    int bits = 8;
    switch (t.c_cflag & CSIZE) {
        case CS5: bits = 5; break;
        case CS6: bits = 6; break;
        case CS7: bits = 7; break;
        default: break;
    }
    const char* parity = (t.c_cflag & PARENB) == 0 ? "none" : (t.c_cflag & PARODD) ? "odd" : "even";
    return "speed=" + std::to_string(speed_of(cfgetospeed(&t))) + " bits=" + std::to_string(bits) +
           " parity=" + parity + " stop=" + ((t.c_cflag & CSTOPB) ? "2" : "1") +
           " flow=" + flow_of(t);
}

bool reports_changes(const termios& t) { return (t.c_lflag & EXTPROC) != 0; }

}  // namespace tncsim
