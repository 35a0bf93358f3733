#pragma once
// The serial devices this machine offers, found by name only: none of them is opened.

#include <QStringList>

namespace kestrel::app {

// /dev/serial/by-id/* first (stable names for USB adapters), then /dev/ttyUSB*,
// /dev/ttyACM* and /dev/ttyS*, each group in natural order.
QStringList find_serial_devices();

}  // namespace kestrel::app
