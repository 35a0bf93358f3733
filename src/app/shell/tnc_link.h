#pragma once
// The serial link and the capture as the shell uses them. Until the core's link is
// wired in (LINK SEAM), `make_local_link` stands in: no port, and typed characters are
// echoed into the store the way the transmitter echoes them.

#include <cstdint>
#include <memory>
#include <string>

#include "desktop/desktop.h"
#include "screen/backscroll.h"
#include "screen/line_store.h"
#include "settings/settings.h"

class TncLink {
public:
    virtual ~TncLink() = default;

    // With the settings' port and device; true when the port is open and receiving.
    virtual bool open_port() = 0;
    virtual void clear_dtr() = 0;
    virtual void close_port() = 0;
    virtual bool port_is_open() const = 0;
    virtual bool tnc_connected() const = 0;

    // The keyboard path: sends one byte, echoes it when local echo is on. False when refused.
    virtual bool send_char(std::uint8_t c) = 0;
    virtual void send_break() = 0;
    virtual void end_break() = 0;

    virtual bool capture_open() const = 0;
    virtual bool upload_open() const = 0;
    virtual std::string capture_name() const = 0;  // CP932
    // A typed byte into the open capture; false on a write error.
    virtual bool capture_byte(std::uint8_t c) = 0;
    // Closes the capture after a write error.
    virtual void end_download() = 0;
};

std::unique_ptr<TncLink> make_local_link(const kestrel::Settings& settings,
                                         kestrel::LineStore& store,
                                         kestrel::Backscroll& backscroll);
