#include "core/link/termios_mapping.h"

#include <gtest/gtest.h>

#include <utility>

namespace kestrel {
namespace {

// Speeds, a raw line and XON/XOFF are what every exchange with the simulated TNC already
// relies on (LinkTncsimTest reads them back from the line); here the framing. 1.5 stop bits become
// two, the nearest the kernel has; parity is sent but never checked; flow 2 (CTS/DTR) is RTS/CTS to
// the kernel.
TEST(TermiosMapping, FramingAndHardwareFlowControl) {
    const std::pair<PortSettings, tcflag_t> rows[] = {
        {{.bit_length = 7, .stop_bits = 1, .parity = 1, .flow_control = 1},
         CS7 | PARENB | PARODD | CSTOPB | CRTSCTS},
        {{.stop_bits = 2, .parity = 2, .flow_control = 2}, CS8 | PARENB | CSTOPB | CRTSCTS},
        {{.stop_bits = 0, .parity = 0, .flow_control = 3}, CS8},  // an unknown flow is none
    };
    for (const auto& [port, cflag] : rows) {
        SCOPED_TRACE(cflag);
        termios t{};
        t.c_iflag = INPCK | IXANY | IGNPAR;
        t.c_cflag = CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS;
        ASSERT_TRUE(termios_from_port_settings(port, t));
        EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | CREAD | CLOCAL),
                  cflag | CREAD | CLOCAL);
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY | INPCK | IGNPAR), 0u);
    }
}

}  // namespace
}  // namespace kestrel
