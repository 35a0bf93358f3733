// Kestrel: a terminal for one TNC on a serial port. The command line names the settings file.

#include <QApplication>
#include <memory>

#include "app/accessibility/accessible_pane.h"
#include "app/dialogs/qt_dialogs.h"
#include "app/shell/main_window.h"
#include "app/shell/program_icon.h"
#include "app/shell/quit_signals.h"

int main(int argc, char** argv) {
    using namespace kestrel::app;
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
