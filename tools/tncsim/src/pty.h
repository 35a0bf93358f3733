#pragma once
// The master side of a pseudo-terminal pair, in packet mode so that every change the terminal
// makes to the line settings is reported.

#include <termios.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace tncsim {

class Pty {
public:
    // Throws std::system_error when the pair cannot be made.
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    int master() const { return master_; }
    const std::string& slave_path() const { return slave_path_; }

    // True while some process holds the slave open.
    bool terminal_attached() const;

    struct Packet {
        std::string data;
        bool settings_changed = false;
        bool would_block = false;
        bool hung_up = false;
    };
    // One packet: bytes the terminal wrote, or a status report.
    Packet read();

    // Bytes written, 0 when the terminal's input is full; -1 when the terminal is gone.
    long write(std::string_view bytes);

    // The slave's settings as the terminal left them.
    termios settings() const;

private:
    int master_ = -1;
    std::string slave_path_;
};

}  // namespace tncsim
