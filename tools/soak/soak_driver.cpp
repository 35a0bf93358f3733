// The headless program tools/soak/soak.py runs: the real receive path, and the real saves
// and start-up reads of the settings and scroll files, without the desktop.
//
//   kestrel_soak receive DEVICE [CAPTURE]  opens DEVICE as the link does (capture into
//       CAPTURE when given), prints "ready", then answers one line on stdin at a time:
//         rss    "rss <kB resident>"
//         line   "line <hex of the line being written>"
//         stats  "stats messages=<n> errors=<lines holding the port error> open=<0|1>
//                 capture=<0|1> threads=<n>"
//         quit   closes the port and ends
//   kestrel_soak save DIR COUNT  saves KESTREL.INI and KESTREL.buf in DIR COUNT times,
//       the two versions in turn starting with the first (COUNT 0: until killed)
//   kestrel_soak start DIR  what start-up does with the two files: read the settings,
//       load the scroll file; prints "loaded <0|1>"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "core/link/link.h"
#include "core/screen/scroll_file.h"
#include "core/settings/profile.h"
#include "core/settings/settings_file.h"
#include "core/text/sjis.h"
#include "quiet_desktop.h"

namespace {

using namespace kestrel;

class SoakDesktop : public bench::QuietDesktop {
public:
    std::atomic<int> messages{0};
    MessageAnswer message_box(std::string_view text, std::string_view caption, MessageIcon icon,
                              MessageButtons buttons) override {
        ++messages;
        return QuietDesktop::message_box(text, caption, icon, buttons);
    }
};

// A hang-up must end the receiver, so a port that comes back by itself is not waited for.
template <typename Port>
void no_reconnect(Port& port) {
    if constexpr (requires { port.reconnect; }) port.reconnect = 0;
}

long status_field(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t n = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, n, field) == 0) return std::stol(line.substr(n));
    }
    return -1;
}

std::string hex(std::string_view bytes) {
    std::string out;
    char pair[3];
    for (char c : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(c));
        out += pair;
    }
    return out;
}

int receive(const std::string& device, const std::string& capture_path) {
    SoakDesktop desktop;
    LineStore store{desktop};
    store.first_sized(24);
    store.set_bell(false);
    Backscroll backscroll{store, desktop};
    Capture capture{desktop, store};
    Settings settings;
    settings.port_devices[0].assign(device);
    settings.port.dsr_watch = 0;
    settings.port.flow_control = 3;  // none: XON and XOFF are data like any byte
    no_reconnect(settings.port);
    Link link(store, backscroll, capture, settings, desktop);
    if (!link.open_port()) {
        std::cerr << "kestrel_soak: cannot open " << device << "\n";
        return 1;
    }
    if (!capture_path.empty()) {
        desktop.chosen = capture_path;
        capture.start_download("");
        if (!capture.is_open()) {
            std::cerr << "kestrel_soak: cannot capture into " << capture_path << "\n";
            return 1;
        }
    }
    const std::string port_error = text::sjis("com ｴﾗ");
    std::cout << "ready" << std::endl;
    for (std::string command; std::getline(std::cin, command);) {
        if (command == "rss") {
            std::cout << "rss " << status_field("VmRSS:") << std::endl;
        } else if (command == "line") {
            std::cout << "line " << hex(store.line_text(0)) << std::endl;
        } else if (command == "stats") {
            int errors = 0;
            store.for_each_oldest_first(
                [&](const ScreenLine& line) {
                    errors += std::strstr(line.text, port_error.c_str()) != nullptr;
                },
                true);
            std::cout << "stats messages=" << desktop.messages.load() << " errors=" << errors
                      << " open=" << link.port_is_open() << " capture=" << capture.is_open()
                      << " threads=" << status_field("Threads:") << std::endl;
        } else if (command == "quit") {
            break;
        }
    }
    link.close_port();
    capture.close();
    return 0;
}

// Version 0 and version 1 differ in every byte that matters and in length.
int save(const std::string& dir, long count) {
    SoakDesktop desktop;
    std::unique_ptr<LineStore> rings[2];
    Profile profiles[2];
    for (int v = 0; v < 2; ++v) {
        rings[v] = std::make_unique<LineStore>(desktop);
        rings[v]->first_sized(24);
        const std::string line = std::string(40 + 30 * v, static_cast<char>('A' + v)) + "\r";
        for (int i = 0; i < LineStore::line_count + v * 7; ++i) rings[v]->put_text(line);
        profiles[v].set("SOAK", "VERSION", v == 0 ? "first" : "second");
        for (int i = 0; i < 100 + 100 * v; ++i) {
            profiles[v].set("SOAK", "KEY" + std::to_string(i), std::string(30, 'a' + v));
        }
    }
    const SettingsFile settings(dir + "/KESTREL.INI");
    for (long i = 0; count == 0 || i < count; ++i) {
        const int v = static_cast<int>(i % 2);
        if (!settings.write(profiles[v]) ||
            !save_scroll_file(*rings[v], settings.scroll_file_path(), desktop)) {
            std::cerr << "kestrel_soak: a save failed\n";
            return 1;
        }
    }
    return 0;
}

int start(const std::string& dir) {
    SoakDesktop desktop;
    const SettingsFile settings(dir + "/KESTREL.INI");
    settings.read();
    LineStore store{desktop};
    store.first_sized(24);
    std::cout << "loaded " << load_scroll_file(store, settings.scroll_file_path(), desktop)
              << std::endl;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "receive" && argc >= 3) return receive(argv[2], argc > 3 ? argv[3] : "");
    if (mode == "save" && argc == 4) return save(argv[2], std::stol(argv[3]));
    if (mode == "start" && argc == 3) return start(argv[2]);
    std::cerr << "usage: kestrel_soak receive DEVICE [CAPTURE] | save DIR COUNT | start DIR\n";
    return 2;
}
