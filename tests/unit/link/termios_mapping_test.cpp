#include "core/link/termios_mapping.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

// Every flag the mapper must clear starts set, so a flag left over shows in the comparisons.
termios mapped(const PortSettings& port) {
    termios t{};
    t.c_iflag = INPCK | IXANY | IGNPAR;
    t.c_oflag = OPOST;
    t.c_lflag = EXTPROC | ICANON | ECHO | ISIG;
    EXPECT_TRUE(termios_from_port_settings(port, t));
    // A raw line that keeps EXTPROC, which the settings do not govern.
    EXPECT_EQ(t.c_lflag, static_cast<tcflag_t>(EXTPROC));
    EXPECT_EQ(t.c_oflag, 0u);
    EXPECT_EQ(t.c_cc[VMIN], 1);
    EXPECT_EQ(t.c_cc[VTIME], 0);
    return t;
}

TEST(TermiosMapping, EverySpeedTheDialogOffersAndTheTwoFasterOnes) {
    const std::pair<int, speed_t> speeds[] = {
        {300, B300},   {600, B600},     {1200, B1200},   {2400, B2400},   {4800, B4800},
        {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}};
    for (auto [baud, constant] : speeds) {
        SCOPED_TRACE(baud);
        termios t = mapped({.baud_rate = baud});
        EXPECT_EQ(cfgetospeed(&t), constant);
        EXPECT_EQ(cfgetispeed(&t), constant);
    }

    // A speed the system cannot set fails and leaves the attributes alone.
    termios t{};
    t.c_cflag = CS7;
    EXPECT_FALSE(termios_from_port_settings({.baud_rate = 14400}, t));
    EXPECT_EQ(t.c_cflag, static_cast<tcflag_t>(CS7));
}

TEST(TermiosMapping, FramingAndFlowControl) {
    struct Row {
        PortSettings port;
        tcflag_t cflag, iflag;
    };
    // 1.5 stop bits become two, the nearest the kernel has; parity is sent but never checked.
    // Flow 2 (CTS/DTR) is RTS/CTS to the kernel; an unknown flow value means none.
    const Row rows[] = {
        {{.bit_length = 7, .stop_bits = 1, .parity = 1, .flow_control = 1},
         CS7 | PARENB | PARODD | CSTOPB | CRTSCTS,
         0},
        {{.stop_bits = 2, .parity = 2, .flow_control = 2}, CS8 | PARENB | CSTOPB | CRTSCTS, 0},
        {{.flow_control = 0}, CS8, IXON | IXOFF},
        {{.flow_control = 3}, CS8, 0},
        {{.flow_control = -1}, CS8, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(&r - rows);
        termios t = mapped(r.port);
        EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | CREAD | CLOCAL),
                  r.cflag | CREAD | CLOCAL);
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY | INPCK | IGNPAR), r.iflag);
        if (r.port.flow_control == 0) {
            EXPECT_EQ(t.c_cc[VSTART], 0x11);
            EXPECT_EQ(t.c_cc[VSTOP], 0x13);
        }
    }
}

}  // namespace
}  // namespace kestrel
