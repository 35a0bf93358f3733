#pragma once
// Whether a COMn: that still maps to its default device, /dev/ttyS<n-1>, has a serial
// port behind it. Settings carried over from a Windows PC name a COM number only, and on
// most Linux machines /dev/ttyS1.. are placeholders (or the console): opening one to find
// out is not an option, so the answer comes from sysfs alone.

#include <string>
#include <string_view>

#include "core/settings/settings.h"

namespace kestrel {

// True when `device` is exactly COM`port_number`'s default device and `sysfs_root`
// (normally "/sys") shows no UART for it: class/tty/ttyS<k>/type is missing or 0
// (PORT_UNKNOWN, what TIOCGSERIAL would report), and no device other than the serial8250
// placeholder stands behind it. A device the operator chose is never second-guessed.
bool default_port_lacks_uart(int port_number, std::string_view device,
                             const std::string& sysfs_root);

}  // namespace kestrel
