#include "core/link/termios_mapping.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

termios mapped(PortSettings port, tcflag_t lflag = 0) {
    termios t{};
    t.c_lflag = lflag | ICANON | ECHO;
    t.c_oflag = OPOST;
    EXPECT_TRUE(termios_from_port_settings(port, t));
    return t;
}

TEST(TermiosMapping, EverySpeedTheDialogOffersAndTheTwoFasterOnes) {
    for (int baud : {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}) {
        PortSettings port;
        port.baud_rate = baud;
        termios t = mapped(port);
        EXPECT_EQ(cfgetospeed(&t), *speed_constant(baud)) << baud;
        EXPECT_EQ(cfgetispeed(&t), *speed_constant(baud)) << baud;
    }
    EXPECT_EQ(*speed_constant(38400), static_cast<speed_t>(B38400));
}

TEST(TermiosMapping, SpeedTheSystemCannotSetFailsAndLeavesTheAttributes) {
    PortSettings port;
    port.baud_rate = 14400;
    termios t{};
    t.c_cflag = CS7;
    EXPECT_FALSE(termios_from_port_settings(port, t));
    EXPECT_EQ(t.c_cflag, static_cast<tcflag_t>(CS7));
}

TEST(TermiosMapping, DataBitsStopBitsAndParityWithoutParityChecking) {
    PortSettings port;
    port.bit_length = 7;
    port.parity = 1;
    port.stop_bits = 1;  // 1.5 bits: the nearest the kernel has is two
    termios t = mapped(port);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS7));
    EXPECT_TRUE(t.c_cflag & PARENB);
    EXPECT_TRUE(t.c_cflag & PARODD);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_FALSE(t.c_iflag & INPCK);

    port.bit_length = 8;
    port.parity = 2;
    port.stop_bits = 2;
    t = mapped(port);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_TRUE(t.c_cflag & PARENB);
    EXPECT_FALSE(t.c_cflag & PARODD);
    EXPECT_TRUE(t.c_cflag & CSTOPB);

    port.parity = 0;
    port.stop_bits = 0;
    t = mapped(port);
    EXPECT_FALSE(t.c_cflag & (PARENB | PARODD | CSTOPB));
    EXPECT_TRUE(t.c_cflag & CREAD);
    EXPECT_TRUE(t.c_cflag & CLOCAL);
}

TEST(TermiosMapping, EachFlowChoice) {
    PortSettings port;
    port.flow_control = 0;
    termios t = mapped(port);
    EXPECT_TRUE(t.c_iflag & IXON);
    EXPECT_TRUE(t.c_iflag & IXOFF);
    EXPECT_FALSE(t.c_iflag & IXANY);
    EXPECT_EQ(t.c_cc[VSTART], 0x11);
    EXPECT_EQ(t.c_cc[VSTOP], 0x13);
    EXPECT_FALSE(t.c_cflag & CRTSCTS);

    for (int flow : {1, 2}) {
        port.flow_control = flow;
        t = mapped(port);
        EXPECT_TRUE(t.c_cflag & CRTSCTS) << flow;
        EXPECT_FALSE(t.c_iflag & (IXON | IXOFF)) << flow;
    }

    for (int flow : {3, -1}) {
        port.flow_control = flow;
        t = mapped(port);
        EXPECT_FALSE(t.c_cflag & CRTSCTS) << flow;
        EXPECT_FALSE(t.c_iflag & (IXON | IXOFF)) << flow;
    }
}

TEST(TermiosMapping, RawLineKeepsTheExtprocFlag) {
    termios t = mapped(PortSettings{}, EXTPROC);
    EXPECT_TRUE(t.c_lflag & EXTPROC);
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(t.c_oflag & OPOST);
    EXPECT_EQ(t.c_cc[VMIN], 1);
    EXPECT_EQ(t.c_cc[VTIME], 0);
}

}  // namespace
}  // namespace kestrel
