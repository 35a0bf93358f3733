#pragma once
// The names the operator sees for the eight ports; the devices behind them are in
// Settings::port_devices.

#include <string_view>

namespace kestrel {

// "COM1:".."COM8:" for 1..8, "COM ?" for anything else.
constexpr std::string_view port_name(int port_number) {
    constexpr std::string_view names[] = {
        "COM ?", "COM1:", "COM2:", "COM3:", "COM4:", "COM5:", "COM6:", "COM7:", "COM8:"};
    return port_number >= 1 && port_number <= 8 ? names[port_number] : names[0];
}

}  // namespace kestrel
