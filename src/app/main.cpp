// Kestrel: a terminal for one TNC on a serial port. The command line names the settings file,
// except for exactly "--help" and "--version", which print and exit before anything starts.

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/accessibility/accessible_pane.h"
#include "app/dialogs/qt_dialogs.h"
#include "app/shell/main_window.h"
#include "app/shell/program_icon.h"
#include "app/shell/quit_signals.h"
#include "app/version.h"

namespace {

constexpr char usage[] =
    "Usage: kestrel [SETTINGS]\n"
    "       kestrel --help | --version\n"
    "\n"
    "A terminal for one TNC (packet-radio terminal node controller) on a serial port.\n"
    "\n"
    "SETTINGS is the settings file; the whole command line is its name, blanks included.\n"
    "A bare name (default KESTREL.INI) is looked up in $XDG_CONFIG_HOME/kestrel/\n"
    "(normally ~/.config/kestrel/); a name containing '/' is used as given. The\n"
    "scroll-back is kept beside it (KESTREL.buf). A file copied from Windows reads as is.\n"
    "\n"
    "See kestrel(1) for the serial port's permissions and the first start.\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace kestrel::app;
    // Before QApplication: these need no display and never touch the settings.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("kestrel %s\n", version_text);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(usage, stdout);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    // Every window's, the About box's included.
    QApplication::setWindowIcon(program_icon());
    install_qt_japanese();
    keep_qt_settings_off_disk();
    install_pane_accessibility();

    // The whole command-line text names the settings file, blanks included.
    std::string command_line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) command_line += ' ';
        command_line += argv[i];
    }
    auto session = std::make_unique<Session>(command_line);
    MainWindow window(*session);
    close_on_quit_signals([&window] { window.close(); });
    window.start();
    return QApplication::exec();
}
