#pragma once
// The operator's line settings as the kernel's terminal attributes. Kept pure so the
// mapping can be checked bit by bit: a pseudo-terminal quietly ignores data bits and
// parity, so only such checks show they are right.

#include <termios.h>

#include <optional>

#include "core/settings/settings.h"

namespace kestrel {

// The speed constant for bits per second, or nothing when the system has none.
std::optional<speed_t> speed_constant(int baud_rate);

// Rewrites `t` for a raw line with `port`'s speed, data bits, stop bits, parity and flow
// control. Flags the settings do not govern (EXTPROC among them) are left alone. False,
// with `t` untouched, when the speed cannot be set.
//
// Stop bits 1 (1.5) become two stop bits, the closest the kernel offers. Received parity
// is never checked. Flow 0 is XON/XOFF both ways with DC1/DC3; 1 is RTS/CTS; 2 holds output
// by CTS — the kernel ties that to RTS following the input, there being no DTR input flow
// on Linux; any other value turns flow control off.
bool termios_from_port_settings(const PortSettings& port, termios& t);

}  // namespace kestrel
