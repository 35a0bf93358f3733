#pragma once
// The modem lines and the break, behind an interface: a pseudo-terminal answers
// TIOCMGET/TIOCMBIS with ENOTTY and ignores a break, so tests put a fake here.

#include <optional>

namespace kestrel {

class ModemControl {
public:
    virtual ~ModemControl() = default;
    virtual bool set_dtr(int fd, bool on) = 0;
    // The DSR line, or nothing when it cannot be read.
    virtual std::optional<bool> dsr(int fd) = 0;
    virtual bool set_break(int fd, bool on) = 0;
};

// The real lines, through ioctl.
class SystemModemControl : public ModemControl {
public:
    bool set_dtr(int fd, bool on) override;
    std::optional<bool> dsr(int fd) override;
    bool set_break(int fd, bool on) override;
};

}  // namespace kestrel
