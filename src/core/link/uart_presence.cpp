#include "core/link/uart_presence.h"

#include <limits.h>
#include <unistd.h>

#include <fstream>

namespace kestrel {

bool default_port_lacks_uart(int port_number, std::string_view device,
                             const std::string& sysfs_root) {
    if (port_number < 1 || port_number > port_count) return false;
    const std::string name = "ttyS" + std::to_string(port_number - 1);
    if (device != "/dev/" + name) return false;
    const std::string entry = sysfs_root + "/class/tty/" + name;
    if (std::ifstream type(entry + "/type"); type) {
        int uart_type = 0;
        return !(type >> uart_type) || uart_type == 0;
    }
    // Without a type attribute, a device link to anything but the legacy placeholder.
    char target[PATH_MAX];
    const ssize_t n = ::readlink((entry + "/device").c_str(), target, sizeof target - 1);
    if (n <= 0) return true;
    const std::string_view link(target, static_cast<std::size_t>(n));
    return link.substr(link.rfind('/') + 1) == "serial8250";
}

}  // namespace kestrel
