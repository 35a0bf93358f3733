#pragma once
// Everything the program keeps for its whole run, created once in main before any window.

#include <string>

#include "app/shell/qt_desktop.h"
#include "core/link/link.h"
#include "core/screen/backscroll.h"
#include "core/screen/command_history.h"
#include "core/screen/line_store.h"
#include "core/settings/settings.h"
#include "core/settings/settings_file.h"
#include "core/transfer/capture.h"

namespace kestrel::app {

struct Session {
    // `command_line` is the settings file name as given; empty means the default.
    explicit Session(std::string_view command_line)
        : file(command_line),
          name_from_command_line(!command_line.empty()),
          store(desktop),
          backscroll(store, desktop),
          capture(desktop, store),
          link(store, backscroll, capture, settings, desktop) {}

    // Declared first, so that it outlives everything that calls it.
    QtDesktop desktop;
    kestrel::SettingsFile file;
    bool name_from_command_line;
    kestrel::Settings settings;
    kestrel::LineStore store;
    kestrel::Backscroll backscroll;
    kestrel::CommandHistory history;
    kestrel::Capture capture;
    kestrel::Link link;
    // Where the kernel's device tree is read to tell a real serial port from a placeholder;
    // tests point it at a made-up tree.
    std::string sysfs_root = "/sys";
};

}  // namespace kestrel::app
